#pragma once
#include <QDialog>

// Loop details; created hidden at start-up.
class Tloopf : public QDialog {
    Q_OBJECT
public:
    explicit Tloopf(QWidget* parent = nullptr) : QDialog(parent)
    {
        setObjectName(QStringLiteral("loopf"));
        setWindowTitle(QStringLiteral("Loop"));
    }
};
