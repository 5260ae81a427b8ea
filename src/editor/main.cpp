#include "editor/AppTitle.h"
#include "editor/Links.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "editor/WidgetPrompts.h"
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
// message dialog and echoed on stderr for a start from a terminal.
void settingsMessage(TQvDlg& dialog, const QString& text)
{
    QString echoed = text;
    echoed.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "zeltra: %s\n", echoed.toLocal8Bit().constData());
    dialog.Message(text);
}

// Ends a question the program is waiting on, then closes the main window the ordinary way.
void closeGracefully(QWidget* mainWindow)
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (!modal->close())
            break;
    }
    QMetaObject::invokeMethod(mainWindow, &QWidget::close, Qt::QueuedConnection);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TerminationSignals termination;
    InstanceLock lock(QStringLiteral("zeltra"));
    if (!lock.tryAcquire())
        return refuseSecondInstance(termination);

    AppTitle title;
    title.set(QStringLiteral("Splash"));
    QApplication::setApplicationName(QStringLiteral("zeltra"));
    QApplication::setApplicationVersion(QStringLiteral(ZELTRA_VERSION));

    TQvDlg dialog; // made once, before any window, and reused by every message
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &dialog,
                     &QDialog::reject);
    zeltra::LayoutModel model;
    WidgetPrompts prompts;
    const QString programDir =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    TQvSettingsFile settings(QCoreApplication::applicationFilePath(),
                             QLatin1String(zeltra::links::WebAddress),
                             [&dialog](const QString& text) { settingsMessage(dialog, text); });
    const bool settingsUsable = settings.open();
    const Windows windows =
        createWindows(model, title, prompts, programDir, app.arguments().mid(1));
    if (!settingsUsable) { // the default settings file is missing or foreign
        delete windows.main;
        return 1;
    }
    windows.main->attachSettings(&settings);
    windows.download->attachSettings(&settings);
    dialog.setMainWindow(windows.main);
    prompts.setOwner(windows.main);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, windows.main,
                     [main = windows.main] { closeGracefully(main); });
    windows.main->show();
    const int rc = app.exec();
    delete windows.main;
    return rc;
}
