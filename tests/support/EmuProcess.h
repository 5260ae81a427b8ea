#pragma once
// Starts zeltra-emu on a pseudo-terminal for tests and the link benchmark.
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

#include <csignal>

class EmuProcess {
  public:
    explicit EmuProcess(QString program = QStringLiteral(ZELTRA_EMU_PATH))
        : program_(std::move(program))
    {
    }
    ~EmuProcess() { stop(); }

    // Waits until the emulator has printed its pseudo-terminal (and link, when asked for).
    bool start(const QStringList& args, int timeoutMs = 10000)
    {
        output_.clear();
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(program_, args);
        if (!process_.waitForStarted(timeoutMs))
            return false;
        const QByteArray ready = args.contains(QStringLiteral("--link")) ? "link: " : "pty: ";
        QDeadlineTimer deadline(timeoutMs);
        while (!output_.contains(ready) || !output_.endsWith('\n')) {
            if (deadline.hasExpired() || process_.state() != QProcess::Running)
                return false;
            process_.waitForReadyRead(int(deadline.remainingTime()));
            output_ += process_.readAllStandardOutput();
        }
        return true;
    }

    QString ptyPath() const
    {
        for (const QByteArray& line : output_.split('\n'))
            if (line.startsWith("pty: "))
                return QString::fromLocal8Bit(line.mid(5));
        return {};
    }

    // Everything printed so far.
    QByteArray output()
    {
        output_ += process_.readAllStandardOutput();
        return output_;
    }

    void kill()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

    // A clean stop: the emulator removes its link.
    void stop()
    {
        const qint64 pid = process_.processId();
        if (process_.state() == QProcess::NotRunning || pid <= 0)
            return;
        ::kill(pid_t(pid), SIGTERM);
        if (!process_.waitForFinished(5000))
            kill();
    }

  private:
    QString program_;
    QProcess process_;
    QByteArray output_;
};
