#pragma once
// Runs a program to its end as a script would: its exit code (-1 when it did not start, crashed
// or was killed after two minutes), what it printed on stdout and stderr, and how long it took.
#include <QElapsedTimer>
#include <QProcess>

struct Run {
    int code = -1;
    QByteArray out, err;
    qint64 ms = 0;
    QStringList errLines() const {
        return QString::fromLocal8Bit(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

inline Run run(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    const bool ended =
        p.error() != QProcess::FailedToStart && p.exitStatus() == QProcess::NormalExit;
    return {ended ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError(),
            clock.elapsed()};
}

inline Run cli(const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return run(QStringLiteral(ZELTRA_CLI_PATH), args, env);
}
