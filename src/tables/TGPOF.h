#pragma once
#include <QDialog>

// GPO, cue and loop tables; created hidden at start-up.
class TGPOF : public QDialog {
    Q_OBJECT
public:
    explicit TGPOF(QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("GPOF"));
        setWindowTitle(QStringLiteral("GPO"));
    }
};
