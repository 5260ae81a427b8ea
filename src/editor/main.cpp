#include "editor/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "editor/WidgetPrompts.h"
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

    zeltra::LayoutModel model;
    WidgetPrompts prompts;
    const QString programDir =
        QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    const Windows windows =
        createWindows(model, title, prompts, programDir, app.arguments().mid(1));
    prompts.setOwner(windows.main);
    QObject::connect(&termination, &TerminationSignals::terminationRequested, windows.main,
                     &QWidget::close);
    windows.main->show();
    const int rc = app.exec();
    delete windows.main;
    return rc;
}
