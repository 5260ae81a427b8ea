#include "editor/LinkStatus.h"

#include "editor/Trs422kbdf.h"
#include "link/TDownloadf.h"

#include <QAction>
#include <QProgressBar>
#include <QStatusBar>

void attachLinkStatus(Trs422kbdf& main, TDownloadf& link)
{
    QObject::connect(&link, &TDownloadf::portClosed, &main, [&main](const QString& caption) {
        main.action(QStringLiteral("Com1"))->setText(caption);
    });

    auto* bar = new QProgressBar(main.statusBar());
    bar->setObjectName(QStringLiteral("LinkProgress"));
    bar->setMaximumWidth(220);
    bar->hide();
    main.statusBar()->addPermanentWidget(bar);
    QObject::connect(&link, &TDownloadf::transferProgress, bar,
                     [bar, &link](int done, int total, qint64 msLeft) {
                         bar->setRange(0, total > 0 ? total : 1);
                         bar->setValue(done);
                         bar->setFormat(TDownloadf::progressText(done, total, msLeft));
                         bar->setVisible(link.isHidden());
                     });
    QObject::connect(&link, &TDownloadf::transferEnded, bar, &QProgressBar::hide);
}
