#include "editor/Startup.h"

#include "editor/AppTitle.h"
#include "editor/LinkStatus.h"
#include "editor/TSelFunctionF.h"
#include "editor/Trs422kbdf.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TtcenterF.h"

Windows createWindows(zeltra::LayoutModel& model, AppTitle& title, Prompts& prompts,
                      const QString& programDir, const QStringList& args, LayoutHistory* history) {
    Windows w;
    title.set(QStringLiteral("Splash1"));
    w.main = new Trs422kbdf(model, title, prompts, programDir, args);
    w.gpo = new TGPOF(model, prompts, w.main);
    title.set(QStringLiteral("Splash2"));
    w.selFunction = new TSelFunctionF(w.main);
    title.set(QStringLiteral("Splash3"));
    w.tcenter = new TtcenterF(w.main);
    title.set(QStringLiteral("Splash4"));
    w.loop = new Tloopf(w.main);
    title.set(QStringLiteral("Splash5"));
    w.defFormat = new TDefFormat(model, w.main);
    title.set(QStringLiteral("Splash6"));
    w.comNumber = new TComNumberF(w.main);
    title.set(QStringLiteral("Splash7"));
    w.download = new TDownloadf(model, *w.comNumber, prompts, w.main);
    title.set(QStringLiteral("Splash8"));
    w.setgain = new TSetgainF(w.main);
    title.set(QStringLiteral("Splash9"));
    w.selFormat = new TSelFormatF(model, w.main);
    title.set(QStringLiteral("Splash10"));
    title.set(QStringLiteral("Splash11"));
    w.main->attach(w.selFunction, w.download, w.comNumber);
    w.main->attachFormats(w.defFormat, w.selFormat, w.setgain);
    w.main->attachTables(w.gpo, w.tcenter, w.loop);
    attachLinkStatus(*w.main, *w.download);
    if (history)
        w.main->attachHistory(history);
    return w;
}
