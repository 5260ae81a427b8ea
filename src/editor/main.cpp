#include "program/AppTitle.h"
#include "history/LayoutHistory.h"
#include "program/Links.h"
#include "editor/Startup.h"
#include "editor/TSplashF.h"
#include "editor/Termination.h"
#include "editor/Trs422kbdf.h"
#include "editor/WidgetPrompts.h"
#include "kit/Launcher.h"
#include "kit/SettingsLocation.h"
#include "kit/TQvDlg.h"
#include "kit/TQvSettingsFile.h"
#include "link/TDownloadf.h"
#include "model/LayoutModel.h"
#include "platform/InstanceLock.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <cstdio>

namespace {

// A second start shows why it ends and ends with a failure status; a termination signal
// closes the box the same way.
int refuseSecondInstance(TerminationSignals& termination)
{
    const QString text = QStringLiteral("The Zeltra driver is already running.");
    std::fprintf(stderr, "zeltra: %s\n", text.toLocal8Bit().constData());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Zeltra"), text, QMessageBox::Ok);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &box,
                     &QMessageBox::reject);
    box.exec();
    return 1;
}

// A message of the settings file (start-up checks, failed writes), shown in the program's own
// message dialog and echoed on stderr for a start from a terminal; once the program is ending
// only echoed.
void settingsMessage(TQvDlg& dialog, const QString& text, bool ending)
{
    QString echoed = text;
    echoed.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "zeltra: %s\n", echoed.toLocal8Bit().constData());
    if (!ending)
        dialog.Message(text);
}

// Only a lock held by another copy keeps the program out; any other failure is told, with its
// reason (on stderr at once, in a box once the main window shows), and the program starts
// without the lock.
QString lockFailureText(const InstanceLock& lock)
{
    const QString text = QStringLiteral("The single-instance lock could not be made, so a second copy of "
                                        "the program is not kept out:\n%1: %2")
                             .arg(lock.path(), lock.errorString());
    std::fprintf(stderr, "zeltra: %s\n", text.toLocal8Bit().constData());
    return text;
}

void showLockFailure(const QString& text, QWidget* owner)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Zeltra"), text, QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// The splash window, unless "--no-splash" was given; false when a termination request
// closed it, and the program ends.
bool showSplash(TerminationSignals& termination, zeltra::launch::Launcher& launcher, TQvDlg& dialog)
{
    TSplashF splash(TSplashF::Kind::Splash, QCoreApplication::applicationFilePath());
    splash.openAddress = [&launcher, &dialog](const QString& address) {
        launcher.start(QStringLiteral("xdg-open"), {address}, QString(), [&dialog](const auto& o) {
            const QString why = zeltra::launch::openerFailure(QStringLiteral("xdg-open"), o);
            if (!why.isEmpty())
                dialog.Message(why);
        });
    };
    bool stopped = false;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &splash, [&] {
        stopped = true;
        splash.reject();
    });
    splash.exec();
    return !stopped;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TerminationSignals termination;
    InstanceLock lock(QStringLiteral("zeltra"));
    const InstanceLock::Acquire acquired = lock.tryAcquire();
    if (acquired == InstanceLock::Acquire::HeldElsewhere)
        return refuseSecondInstance(termination);
    const QString lockFailure = acquired == InstanceLock::Acquire::Failed ? lockFailureText(lock) : QString();

    AppTitle title;
    title.set(QStringLiteral("Splash"));
    QApplication::setApplicationName(QStringLiteral("zeltra"));
    QApplication::setApplicationVersion(QStringLiteral(ZELTRA_VERSION));

    TQvDlg dialog; // made once, before any window, and reused by every message
    zeltra::LayoutModel model;
    LayoutHistory history(model);
    WidgetPrompts prompts;
    bool ending = false;
    Termination end(nullptr, [&] {
        ending = true;
        prompts.setEnding();
    });
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &end, &Termination::request);
    const QString programDir =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    const SettingsLocation location =
        SettingsLocation::choose(programDir, QProcessEnvironment::systemEnvironment());
    model.SettingsDir = location.folder;
    TQvSettingsFile settings(QCoreApplication::applicationFilePath(),
                             QLatin1String(zeltra::links::WebAddress),
                             [&](const QString& text) { settingsMessage(dialog, text, ending); });
    settings.setSettingsFolder(location.folder);
    const bool settingsUsable = settings.open();
    QStringList args = app.arguments().mid(1);
    const bool splash = args.removeAll(QStringLiteral("--no-splash")) == 0;
    zeltra::launch::ProcessLauncher splashLauncher;
    if (settingsUsable && splash && !showSplash(termination, splashLauncher, dialog))
        return 0;
    const Windows windows = createWindows(model, title, prompts, programDir, args, &history);
    if (!settingsUsable || end.requested()) { // the default settings file is missing or foreign
        delete windows.main;
        return settingsUsable ? 0 : 1;
    }
    windows.main->attachSettings(&settings);
    windows.download->attachSettings(&settings);
    dialog.setMainWindow(windows.main);
    windows.main->attachSide(dialog);
    prompts.setOwner(windows.main);
    end.setMainWindow(windows.main);
    windows.main->show();
    if (!lockFailure.isEmpty() && !end.requested())
        showLockFailure(lockFailure, windows.main);
    int rc = 0;
    if (!end.requested()) { // a message shown during the show may have been ended by a signal
        end.setLooping(true);
        rc = app.exec();
    }
    if (end.requested())
        end.closeMain();
    return endRun(windows, rc);
}
