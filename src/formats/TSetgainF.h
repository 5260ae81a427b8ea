#pragma once
#include <QDialog>

// Level and gain entry; created hidden at start-up.
class TSetgainF : public QDialog {
    Q_OBJECT
public:
    explicit TSetgainF(QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("SetgainF"));
        setWindowTitle(QStringLiteral("Gain"));
    }
};
