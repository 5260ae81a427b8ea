#pragma once
#include <QDialog>

// Timecode entry; created hidden at start-up.
class TtcenterF : public QDialog {
    Q_OBJECT
public:
    explicit TtcenterF(QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("tcenterF"));
        setWindowTitle(QStringLiteral("Timecode"));
    }
};
