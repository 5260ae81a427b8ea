#pragma once
#include <QDialog>

// A window made at start-up whose contents come later: it has its name and caption and
// stays hidden until a command shows it.
class PendingWindow : public QDialog {
public:
    PendingWindow(const char* name, const char* caption, QWidget* parent) : QDialog(parent)
    {
        setObjectName(QString::fromLatin1(name));
        setWindowTitle(QString::fromLatin1(caption));
    }
};
