// Machine-layout editing on the main window: a key's function (right click, both modes), what
// a machine key's function uses (Shift + left click: a cue, a loop, a macro), and the "Set"
// menu's GPO, cue and loop tables. Each dialog runs first; what it gave becomes one step.
#include "editor/TSelFunctionF.h"
#include "editor/Trs422kbdf.h"
#include "editing/LoopDetails.h"
#include "editing/TableGrid.h"
#include "history/LayoutHistory.h"
#include "kit/Prompts.h"
#include "kit/TQveButton.h"
#include "link/TDownloadf.h"
#include "model/FunctionTables.h"
#include "model/KeyLayout.h"
#include "model/Records.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TimecodeEdit.h"
#include "timecode/TtcenterF.h"

#include <QAction>

using namespace zeltra;

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
    // As on closing: "Save" writes over the layout's file only while it has one.
    gpo_->save = [this] { model_.hasFile() ? Save1Click() : SaveAs1Click(); };
    gpo_->saveAs = [this] { SaveAs1Click(); };
    gpo_->download = [this](int block) { downloadTable(block); };
}

void Trs422kbdf::key2RightClick(TQveButton* key) {
    model_.TopRowKey = true;
    newrightclick(key);
}

void Trs422kbdf::key10RightClick(TQveButton* key) {
    model_.TopRowKey = false;
    newrightclick(key);
}

// The function chosen goes into the image; Cancel (or Escape) changes nothing, so it marks
// nothing either.
void Trs422kbdf::newrightclick(TQveButton* key) {
    if (!selFunction_ || model_.data().image(model_.KbdType()).empty())
        return;
    const int index = keyIndex(key);
    selFunction_->ListKind = model_.KbdType();
    selFunction_->Tag = key->Tag();
    selFunction_->TopRowKey = model_.TopRowKey;
    selFunction_->exec();
    const int code = selFunction_->Tag & 0xFF;
    editByte(keyStep(index, code), mcn::KeyCodes + std::size_t(index), std::uint8_t(code));
}

void Trs422kbdf::RemoteClick(TQveButton* key) {
    const int index = keyIndex(key);
    const int code = key->Tag();
    if (const int cue = codes::indexIn(code, codes::FirstCue); cue >= 0)
        editCue(index, cue);
    else if (const int loop = codes::indexIn(code, codes::FirstLoop); loop >= 0)
        editLoop(index, loop);
    else if (const int macro = codes::indexIn(code, codes::FirstMacro); macro >= 0)
        editMacro(index, macro);
}

// The dialog's text is taken however the dialog was closed; a text left as it was shown
// keeps the cue's bytes.
void Trs422kbdf::editCue(int key, int k) {
    const timecode::Bcd old = records::cue(model_.McnImage, k).timecode();
    tcenter_->entry()->setTimecode(timecode::toText(old));
    const QString shown = tcenter_->entry()->timecode();
    tcenter_->exec();
    const timecode::Bcd now = tables::edited(old, shown, tcenter_->entry()->timecode());
    history_->editMachine(keyStep(key, codes::FirstCue + k, QStringLiteral("timecode")),
                          [&](MachineImage& image) { records::cue(image, k).setTimecode(now); });
}

void Trs422kbdf::editLoop(int key, int k) {
    const tables::LoopDetails old = tables::loopDetails(model_.McnImage, k);
    loop_->preset(old);
    loop_->exec();
    const tables::LoopDetails now = loop_->details(old);
    history_->editMachine(keyStep(key, codes::FirstLoop + k, QStringLiteral("loop details")),
                          [&](MachineImage& image) { tables::storeLoopDetails(image, k, now); });
}

void Trs422kbdf::editMacro(int key, int m) {
    selFunction_->ListKind = ListMacro;
    selFunction_->TopRowKey = false;
    selFunction_->Tag = records::macro(model_.McnImage, m).code();
    selFunction_->exec();
    const auto code = std::uint8_t(selFunction_->Tag);
    selFunction_->ListKind = model_.KbdType(); // keys keep resolving in their own table
    history_->editMachine(keyStep(key, codes::FirstMacro + m, QStringLiteral("function")),
                          [&](MachineImage& image) { records::macro(image, m).setCode(code); });
}

void Trs422kbdf::GPO2Click(QAction* sender) {
    gpo_->showTable(sender->property("Tag").toInt());
}

// The connect window on `block`, modally; what it reads back comes as a step of its own.
void Trs422kbdf::downloadTable(int block) {
    if (!link_)
        return;
    link_->selectBlock(block);
    link_->exec();
}

// The macros, like the tables, belong to machine control: a monitor layout has no place for
// them.
bool Trs422kbdf::refuseOutsideMachineMode() {
    if (model_.KbdType() == KbdMachine)
        return false;
    prompts_.showMessage(QStringLiteral("The macros belong to machine control; switch to "
                                        "\"Machine Control\" to edit or send them."),
                         QStringLiteral("Machine Control"));
    return true;
}
