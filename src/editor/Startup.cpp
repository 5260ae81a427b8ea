#include "editor/Startup.h"

#include "editor/LinkStatus.h"
#include "editor/TSelFunctionF.h"
#include "editor/Trs422kbdf.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "history/KindWindow.h"
#include "history/LayoutHistory.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/LayoutModel.h"
#include "program/AppTitle.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TtcenterF.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define ZELTRA_FULL_TEARDOWN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELTRA_FULL_TEARDOWN 1
#endif
#endif

namespace {

// Qt reads an image by asking every image plugin first, so the menu bar's first icon would
// load them all, the JPEG library with them, before any window shows. While the windows are
// made no plugin folder is searched (the icons Qt draws are PNGs, read without a plugin); the
// JPEG export and the message pictures load the plugins when they are first used.
class PluginFoldersHidden {
public:
    PluginFoldersHidden() : folders_(QCoreApplication::libraryPaths())
    {
        // The icon theme notes once which icon plugins there are: let it look first.
        QIcon::themeName();
        QCoreApplication::setLibraryPaths({});
    }
    ~PluginFoldersHidden() { QCoreApplication::setLibraryPaths(folders_); }
    PluginFoldersHidden(const PluginFoldersHidden&) = delete;
    PluginFoldersHidden& operator=(const PluginFoldersHidden&) = delete;

private:
    QStringList folders_;
};

} // namespace

Windows createWindows(zeltra::LayoutModel& model, AppTitle& title, Prompts& prompts,
                      const QString& programDir, const QStringList& args, LayoutHistory* history)
{
    const PluginFoldersHidden noPlugins;
    Windows w;
    title.set(QStringLiteral("Splash1"));
    w.main = new Trs422kbdf(model, title, prompts, programDir, args);
    if (!history)
        history = new LayoutHistory(model, w.main);
    w.gpo = new TGPOF(model, *history, prompts, w.main);
    title.set(QStringLiteral("Splash2"));
    w.selFunction = new TSelFunctionF(w.main);
    title.set(QStringLiteral("Splash3"));
    w.tcenter = new TtcenterF(w.main);
    title.set(QStringLiteral("Splash4"));
    w.loop = new Tloopf(w.main);
    title.set(QStringLiteral("Splash5"));
    w.defFormat = new TDefFormat(model, *history, w.main);
    title.set(QStringLiteral("Splash6"));
    w.comNumber = new TComNumberF(w.main);
    title.set(QStringLiteral("Splash7"));
    w.download = new TDownloadf(model, *w.comNumber, prompts, w.main);
    title.set(QStringLiteral("Splash8"));
    w.setgain = new TSetgainF(w.main);
    title.set(QStringLiteral("Splash9"));
    w.selFormat = new TSelFormatF(model, *history, w.main);
    title.set(QStringLiteral("Splash10"));
    title.set(QStringLiteral("Splash11"));
    w.main->attach(w.selFunction, w.download, w.comNumber);
    w.main->attachFormats(w.defFormat, w.selFormat, w.setgain);
    w.main->attachTables(w.gpo, w.tcenter, w.loop);
    attachLinkStatus(*w.main, *w.download);
    w.main->attachHistory(*history);
    w.download->attachHistory(history);
    // The dialogs made without the model belong to one kind all the same.
    closeWhenKindLeaves(w.tcenter, model, zeltra::KbdMachine);
    closeWhenKindLeaves(w.loop, model, zeltra::KbdMachine);
    closeWhenKindLeaves(w.setgain, model, zeltra::KbdMonitor);
    return w;
}

int endRun(const Windows& windows, int status)
{
    windows.download->channel().close();
#ifndef ZELTRA_FULL_TEARDOWN
    if (!QGuiApplication::clipboard()->ownsClipboard()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
#endif
    delete windows.main;
    return status;
}
