// Monitor-layout editing in the main window: Shift + left click on a monitor key edits the
// level, trim, format memory or shift layer behind it; "Edit Monitor Formats" opens the list.
#include "editor/Trs422kbdf.h"

#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "history/LayoutHistory.h"
#include "kit/TQveButton.h"
#include "model/FunctionTables.h"
#include "model/KeyFaces.h"
#include "model/Levels.h"
#include "model/Records.h"

#include <QAction>
#include <QLabel>

using namespace zeltra;
namespace fmt = zeltra::formats;

void Trs422kbdf::attachFormats(TDefFormat* defFormat, TSelFormatF* selFormat, TSetgainF* setgain)
{
    defFormat_ = defFormat;
    selFormat_ = selFormat;
    setgain_ = setgain;
    defFormat_->attach(setgain_);
    selFormat_->attach(defFormat_);
    connect(action(QStringLiteral("EditFormats1")), &QAction::triggered, this,
            &Trs422kbdf::EditFormats1Click);
}

void Trs422kbdf::EditFormats1Click() { selFormat_->showForEditing(); }

// The levels have no place in the layout and the shift layer is only what the keys show, so
// neither makes a step nor marks the layout.
void Trs422kbdf::MonitorClick(TQveButton* key)
{
    const int code = key->Tag();
    if (code == codes::Dim) {
        asklevel(0, code);
    } else if (code == codes::Shift) {
        shiftf->setVisible(shiftf->isHidden());
        setkbdval();
    } else if (code >= codes::UserA && code <= codes::UserJ) {
        selectformat(key);
    } else if (code >= codes::CalA && code <= codes::CalD) {
        asklevel(code - codes::CalA + 1, code);
    } else if (code >= codes::FirstOutput && code <= codes::LastOutput) {
        asktrim(keyIndex(key), code);
    }
}

void Trs422kbdf::asklevel(int which, int code)
{
    const fmt::GainUse use = code == codes::Dim ? fmt::dimUse() : fmt::calibrateUse(code);
    int& level = sessionLevels_[std::size_t(which)];
    level = setgain_->run(use, level);
}

void Trs422kbdf::asktrim(int key, int code)
{
    const int t = code & 15;
    const int step = setgain_->run(fmt::outputTrimUse(), records::trim(model_.MonImage, t).step());
    history_->editMonitor(keyStep(key, code, QStringLiteral("trim")),
                          [&](MonitorImage& image) { records::trim(image, t).setStep(step); });
}

// The list opens on the key's format; only OK changes the slot, which stays 0..15.
void Trs422kbdf::selectformat(TQveButton* key)
{
    const int slot = formatSlot(key->Tag(), !shiftf->isHidden());
    if (slot < 0)
        return;
    const auto chosen = selFormat_->pick(records::formatMemory(model_.MonImage, slot).format());
    if (!chosen)
        return;
    history_->editMonitor(keyStep(keyIndex(key), key->Tag(), QStringLiteral("format")),
                          [&](MonitorImage& image) { records::formatMemory(image, slot).setFormat(*chosen); });
}
