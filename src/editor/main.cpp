#include "editor/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "editor/WidgetPrompts.h"
#include "model/LayoutModel.h"
#include "platform/InstanceLock.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    InstanceLock lock(QStringLiteral("zeltra"));
    if (!lock.tryAcquire()) {
        QMessageBox::warning(nullptr, QStringLiteral("Zeltra"),
                             QStringLiteral("The Zeltra driver is already running."));
        return 1;
    }
    AppTitle title;
    title.set(QStringLiteral("Splash"));
    QApplication::setApplicationName(QStringLiteral("zeltra"));
    QApplication::setApplicationVersion(QStringLiteral(ZELTRA_VERSION));

    zeltra::LayoutModel model;
    WidgetPrompts prompts;
    const QString programDir = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    const Windows windows = createWindows(model, title, prompts, programDir, app.arguments().mid(1));
    prompts.setOwner(windows.main);
    windows.main->show();
    const int rc = app.exec();
    delete windows.main;
    return rc;
}
