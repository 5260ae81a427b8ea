#pragma once
#include <QDialog>

// Monitor format editor; created hidden at start-up.
class TDefFormat : public QDialog {
    Q_OBJECT
public:
    explicit TDefFormat(QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("DefFormat"));
        setWindowTitle(QStringLiteral("Formats"));
    }
};
