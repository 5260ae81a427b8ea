#include "kit/Launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace zeltra::launch {

QString findProgram(const QString& program)
{
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo fi(program);
        return fi.isFile() && fi.isExecutable() ? fi.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

void ProcessLauncher::start(const QString& program, const QStringList& args,
                            const QString& workDir, std::function<void(const Outcome&)> done)
{
    const QString path = findProgram(program);
    if (path.isEmpty()) {
        done({Outcome::Kind::NotFound, 0});
        return;
    }
    auto* p = new QProcess(this);
    p->setProgram(path);
    p->setArguments(args);
    p->setWorkingDirectory(workDir);
    p->setStandardInputFile(QProcess::nullDevice());
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    auto finish = std::make_shared<bool>(false); // `done` runs once, whichever signal comes
    connect(p, &QProcess::errorOccurred, this, [p, done, finish](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart || *finish)
            return; // a crash also ends with finished()
        *finish = true;
        done({Outcome::Kind::FailedToStart, 0});
        p->deleteLater();
    });
    connect(p, &QProcess::finished, this,
            [p, done, finish](int code, QProcess::ExitStatus status) {
                if (*finish)
                    return;
                *finish = true;
                done(status == QProcess::CrashExit ? Outcome{Outcome::Kind::Crashed, code}
                                                   : Outcome{Outcome::Kind::Finished, code});
                p->deleteLater();
            });
    p->start();
}

QString openerFailure(const QString& opener, const Outcome& outcome)
{
    if (outcome.kind != Outcome::Kind::Finished)
        return programFailure(opener, outcome);
    const QString why = [&] {
        switch (outcome.exitCode) {
        case 0: return QString();
        case 1: return QStringLiteral("the command line was not understood");
        case 2: return QStringLiteral("a file named in it does not exist");
        case 3: return QStringLiteral("no program is set up to open it");
        case 4: return QStringLiteral("the program that opens it failed");
        case 5: return QStringLiteral("a file named in it may not be read");
        default: return QStringLiteral("it failed");
        }
    }();
    if (why.isEmpty())
        return {};
    return QStringLiteral("%1: %2 (exit status %3).").arg(opener, why).arg(outcome.exitCode);
}

QString programFailure(const QString& program, const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::NotFound:
        return QStringLiteral("%1 was not found.").arg(program);
    case Outcome::Kind::FailedToStart:
        return QStringLiteral("%1 could not be started.").arg(program);
    case Outcome::Kind::Crashed:
        return QStringLiteral("%1 stopped unexpectedly.").arg(program);
    case Outcome::Kind::Finished:
        break;
    }
    if (outcome.exitCode == 0)
        return {};
    return QStringLiteral("%1 ended with exit status %2.").arg(program).arg(outcome.exitCode);
}

} // namespace zeltra::launch
