// Machine-layout editing on the main window: a key's function (right click, both modes), what
// a machine key's function uses (Shift + left click: a cue, a loop, a macro), and the "Set"
// menu's GPO, cue and loop tables.
#include "editor/TSelFunctionF.h"
#include "editor/Trs422kbdf.h"
#include "kit/TQveButton.h"
#include "link/TDownloadf.h"
#include "model/KeyFaces.h"
#include "model/KeyLayout.h"
#include "tables/LoopDetails.h"
#include "tables/TGPOF.h"
#include "tables/TableGrid.h"
#include "tables/Tloopf.h"
#include "timecode/TimecodeEdit.h"
#include "timecode/TtcenterF.h"

#include <QAction>

using namespace zeltra;

namespace {
constexpr int FirstLocate = 160; // "Loc-1".."Loc-8": cues 0..7
constexpr int FirstLoop = 168;   // "Loop-1".."Loop-8": loops 0..7
constexpr int FirstMacro = 248;  // "Macro A".."Macro H"
constexpr int KeysPerKind = 8;

bool inRange(int code, int first) {
    return code >= first && code < first + KeysPerKind;
}
} // namespace

void Trs422kbdf::attachTables(TGPOF* gpo, TtcenterF* tcenter, Tloopf* loop) {
    gpo_ = gpo;
    tcenter_ = tcenter;
    loop_ = loop;
    for (int i = 0; i < KeyCount; ++i) {
        TQveButton* key = KeyButtons[std::size_t(i)];
        if (KeyPlaces[std::size_t(i)].topRow)
            connect(key, &TQveButton::OnRightClick, this, &Trs422kbdf::key2RightClick);
        else
            connect(key, &TQveButton::OnRightClick, this, &Trs422kbdf::key10RightClick);
    }
    for (const char* name : {"Cues2", "Loops1", "GPO2"}) {
        QAction* item = action(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, [this, item] { GPO2Click(item); });
    }
    gpo_->open = [this] { Open1Click(); };
    // As on closing: "Save" writes over the layout's file only while the main window's does.
    gpo_->save = [this] {
        if (action(QStringLiteral("Save1"))->isEnabled())
            Save1Click();
        else
            SaveAs1Click();
    };
    gpo_->saveAs = [this] { SaveAs1Click(); };
    gpo_->download = [this](int block) { downloadTable(block); };
    // After the main window's own commands (connected first) the open table shows the image.
    for (const char* name : {"Open1", "Download1", "Showclip1"})
        connect(action(QString::fromLatin1(name)), &QAction::triggered, gpo_, &TGPOF::refresh);
}

void Trs422kbdf::key2RightClick(TQveButton* key) {
    model_.TopRowKey = true;
    newrightclick(key);
}

void Trs422kbdf::key10RightClick(TQveButton* key) {
    model_.TopRowKey = false;
    newrightclick(key);
}

void Trs422kbdf::newrightclick(TQveButton* key) {
    if (!selFunction_)
        return;
    recordEdit([this, key] { return keyStep(key); },
               [this, key] {
                   selFunction_->ListKind = model_.KbdType();
                   model_.LayoutChanged = true;
                   selFunction_->Tag = key->Tag();
                   selFunction_->TopRowKey = model_.TopRowKey;
                   selFunction_->exec();
                   key->setTag(selFunction_->Tag);
                   selFunction_->setkeyfunction(key);
                   if (model_.KbdType() == KbdMonitor)
                       if (auto caption = formatMemoryCaption(model_.MonImage, key->Tag(), false))
                           key->setCaption(*caption);
               });
}

void Trs422kbdf::RemoteClick(TQveButton* key) {
    const int code = key->Tag();
    const QString what = inRange(code, FirstLocate)  ? QStringLiteral("timecode")
                         : inRange(code, FirstLoop)  ? QStringLiteral("loop details")
                         : inRange(code, FirstMacro) ? QStringLiteral("function")
                                                     : QString();
    if (what.isEmpty())
        return;
    recordEdit([this, key, what] { return keyStep(key, what); },
               [this, code] {
                   if (inRange(code, FirstLocate))
                       editCue(code - FirstLocate);
                   else if (inRange(code, FirstLoop))
                       editLoop(code - FirstLoop);
                   else
                       editMacro(code - FirstMacro);
                   model_.LayoutChanged = true;
                   if (gpo_)
                       gpo_->refresh(true); // a row edit in progress there goes on
               });
}

// The dialog's text is stored however the dialog was closed; a text left as it was shown
// keeps the cue's bytes.
void Trs422kbdf::editCue(int k) {
    auto* bytes = model_.McnImage.bytes.data() + model_.McnImage.cueOffset(k);
    timecode::Bcd old{};
    std::copy_n(bytes, old.size(), old.begin());
    tcenter_->entry()->setTimecode(timecode::toText(old));
    const QString shown = tcenter_->entry()->timecode();
    tcenter_->exec();
    const timecode::Bcd now = tables::edited(old, shown, tcenter_->entry()->timecode());
    std::copy(now.begin(), now.end(), bytes);
}

void Trs422kbdf::editLoop(int k) {
    const tables::LoopDetails old = tables::loopDetails(model_.McnImage, k);
    loop_->preset(old);
    loop_->exec();
    tables::storeLoopDetails(model_.McnImage, k, loop_->details(old));
}

void Trs422kbdf::editMacro(int m) {
    std::uint8_t& slot = model_.McnImage.bytes[mcn::MacroTable + std::size_t(m)];
    selFunction_->ListKind = ListMacro;
    selFunction_->TopRowKey = false;
    selFunction_->Tag = slot;
    selFunction_->exec();
    slot = std::uint8_t(selFunction_->Tag);
    selFunction_->ListKind = model_.KbdType(); // keys keep resolving in their own table
    updmacrolable();
}

void Trs422kbdf::GPO2Click(QAction* sender) {
    gpo_->showTable(sender->property("Tag").toInt());
}

void Trs422kbdf::downloadTable(int block) {
    updkbddta();
    if (!link_)
        return;
    link_->selectBlock(block);
    transfer();
}
