#pragma once
#include <QObject>

#include <functional>

class QWidget;

// Ends the program when the system asks it to (SIGTERM, SIGINT, SIGHUP), from whatever state
// it is in: a question or message open, a transfer running in the connect window, the main
// window hidden, or the message loop not yet running because a message was shown during
// start-up. Open dialogs are closed, no new question is put (the `silence` hook makes the
// prompts answer No and cancel), and the main window closes the ordinary way, storing the
// settings, before the message loop ends.
class Termination : public QObject {
    Q_OBJECT
public:
    Termination(QWidget* mainWindow, std::function<void()> silence, QObject* parent = nullptr);

    // The main window, once made; a request before that ends the start-up early.
    void setMainWindow(QWidget* mainWindow) { main_ = mainWindow; }
    // Connected to the signal watcher.
    void request();
    bool requested() const { return requested_; }
    // The main message loop runs from here on (set just before it starts).
    void setLooping(bool on) { looping_ = on; }
    // Closes the main window once; for a request that came before the loop ran.
    void closeMain();

private:
    static void closeDialogs();

    QWidget* main_;
    std::function<void()> silence_;
    bool requested_ = false;
    bool looping_ = false;
    bool closed_ = false;
};
