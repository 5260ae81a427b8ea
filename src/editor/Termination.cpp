#include "editor/Termination.h"

#include <QApplication>
#include <QWidget>

Termination::Termination(QWidget* mainWindow, std::function<void()> silence, QObject* parent)
    : QObject(parent), main_(mainWindow), silence_(std::move(silence))
{
}

// Every modal dialog, innermost first; one that refuses to close is left to the loop's end.
void Termination::closeDialogs()
{
    QWidget* last = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == last || !modal->close())
            break;
        last = modal;
    }
}

void Termination::request()
{
    const bool again = requested_;
    requested_ = true;
    if (!again && silence_)
        silence_();
    closeDialogs();
    if (!looping_) {
        // Leaves the loop of a message shown during start-up; main() sees requested().
        QCoreApplication::exit(0);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            closeMain();
            // Every loop ends, a dialog's that would not close included.
            QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
}

void Termination::closeMain()
{
    if (closed_ || !main_)
        return;
    closed_ = true;
    main_->close(); // also when hidden: the close event still runs
}
