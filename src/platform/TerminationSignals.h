#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so that the program
// can close its main window the ordinary way (settings stored, changes asked about) instead
// of dying mid-write.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    void readPipe();
    QSocketNotifier* notifier_ = nullptr;
};
