#pragma once
#include <QDialog>

// Format selection; created hidden at start-up.
class TSelFormatF : public QDialog {
    Q_OBJECT
public:
    explicit TSelFormatF(QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("SelFormatF"));
        setWindowTitle(QStringLiteral("Select Format"));
    }
};
