#include "editor/LinkStatus.h"

#include "editor/Trs422kbdf.h"
#include "link/TDownloadf.h"

#include <QAction>
#include <QProgressBar>
#include <QStatusBar>

namespace {

constexpr int BarWidth = 120;

// While a transfer goes on behind the hidden connect window, the status bar shows how far it
// is: a bar at its right end and the frames and time left in place of the panels.
void showProgress(QStatusBar* status, QProgressBar* bar, bool hidden, int done, int total,
                  qint64 msLeft)
{
    const bool shown = bar->isVisible();
    if (!hidden) {
        if (shown) {
            bar->hide();
            status->clearMessage();
        }
        return;
    }
    bar->setRange(0, total > 0 ? total : 1);
    bar->setValue(done);
    bar->show();
    status->showMessage(TDownloadf::progressText(done, total, msLeft));
}

} // namespace

void attachLinkStatus(Trs422kbdf& main, TDownloadf& link)
{
    QObject::connect(&link, &TDownloadf::portClosed, &main, [&main](const QString& caption) {
        main.action(QStringLiteral("Com1"))->setText(caption);
    });

    QStatusBar* status = main.statusBar();
    auto* bar = new QProgressBar(status);
    bar->setObjectName(QStringLiteral("LinkProgress"));
    bar->setFixedWidth(BarWidth);
    bar->setTextVisible(false);
    bar->hide();
    status->addPermanentWidget(bar);
    QObject::connect(&link, &TDownloadf::transferProgress, bar,
                     [status, bar, &link](int done, int total, qint64 msLeft) {
                         showProgress(status, bar, link.isHidden(), done, total, msLeft);
                     });
    QObject::connect(&link, &TDownloadf::transferEnded, bar, [status, bar] {
        if (!bar->isVisible())
            return;
        bar->hide();
        status->clearMessage();
    });
}
