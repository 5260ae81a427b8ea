#pragma once
// Starts a built or installed zeltra the way a user does, on the offscreen platform, with a
// runtime folder and a pseudo-terminal COM port of its own, and closes it the way a session
// end does (SIGTERM).
#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

struct ProgramRun {
    static constexpr int Patience = 60000; // only a hung program waits this long

    QString runtimeDir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString err;
    int status = -1; // exit code, -1 after a crash or when it did not run

    explicit ProgramRun(const QString& runtime) : runtimeDir(runtime) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("ZELTRA_TRACE_TITLE"), QStringLiteral("1"));
    }

    // Runs `program` until stderr shows `until` (or it ends), then asks it to close.
    bool run(const QString& program, const QString& until) {
        status = -1;
        err.clear();
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            err = QStringLiteral("no pseudo-terminal");
            return false;
        }
        QProcessEnvironment e = env;
        e.insert(QStringLiteral("ZELTRA_COM1"), QString::fromLocal8Bit(::ptsname(master)));
        QProcess p;
        p.setProcessEnvironment(e);
        p.setReadChannel(QProcess::StandardError);
        p.start(program, {});
        QByteArray bytes;
        if (p.waitForStarted(Patience)) {
            const QDeadlineTimer deadline(Patience);
            while (!bytes.contains(until.toUtf8()) && p.state() == QProcess::Running &&
                   p.waitForReadyRead(int(deadline.remainingTime())))
                bytes += p.readAllStandardError();
            p.terminate();
            p.waitForFinished(Patience);
            bytes += p.readAllStandardError();
            status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        }
        ::close(master);
        err = QString::fromUtf8(bytes);
        return bytes.contains(until.toUtf8());
    }
};
