// Monitor-layout editing in the main window: Shift + left click on a monitor key edits the
// level, trim, format memory or shift layer behind it; "Edit Monitor Formats" opens the list.
#include "editor/Trs422kbdf.h"

#include "formats/Levels.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "kit/TQveButton.h"
#include "model/FunctionTables.h"
#include "model/KeyFaces.h"

#include <QAction>
#include <QLabel>

using namespace zeltra;
namespace fmt = zeltra::formats;

namespace {
enum MonitorCode {
    CodeDim = 2,
    CodeShift = 15,
    CodeUserA = 48,
    CodeUserJ = 57,
    CodeCalA = 65,
    CodeCalD = 68,
    CodeFirstOutput = 80,
    CodeLastOutput = 95,
};
} // namespace

void Trs422kbdf::attachFormats(TDefFormat* defFormat, TSelFormatF* selFormat, TSetgainF* setgain)
{
    defFormat_ = defFormat;
    selFormat_ = selFormat;
    setgain_ = setgain;
    defFormat_->attach(setgain_, [this] { showformatkeys(); });
    selFormat_->attach(defFormat_);
    connect(action(QStringLiteral("EditFormats1")), &QAction::triggered, this,
            &Trs422kbdf::EditFormats1Click);
}

void Trs422kbdf::EditFormats1Click() { selFormat_->showForEditing(); }

void Trs422kbdf::MonitorClick(TQveButton* key)
{
    const int code = key->Tag();
    const QString what = code == CodeShift                        ? QStringLiteral("layer")
                         : code >= CodeUserA && code <= CodeUserJ ? QStringLiteral("format")
                         : code >= CodeFirstOutput && code <= CodeLastOutput
                             ? QStringLiteral("trim")
                             : QString();
    // The levels have no place in the layout, so they make no step.
    recordEdit([this, key, what] { return keyStep(key, what); },
               [this, key, code] {
                   if (code == CodeDim) {
                       asklevel(0, code);
                   } else if (code == CodeShift) {
                       shiftf->setVisible(shiftf->isHidden());
                       showformatkeys();
                   } else if (code >= CodeUserA && code <= CodeUserJ) {
                       selectformat(key);
                   } else if (code >= CodeCalA && code <= CodeCalD) {
                       asklevel(code - CodeCalA + 1, code);
                   } else if (code >= CodeFirstOutput && code <= CodeLastOutput) {
                       std::uint8_t& trim =
                           model_.MonImage.bytes[mon::OutputTrim + std::size_t(code & 15)];
                       trim = std::uint8_t(setgain_->run(fmt::outputTrimUse(), trim));
                   } else {
                       return;
                   }
                   model_.LayoutChanged = true;
               });
}

void Trs422kbdf::asklevel(int which, int code)
{
    const fmt::GainUse use = code == CodeDim ? fmt::dimUse() : fmt::calibrateUse(code);
    int& level = sessionLevels_[std::size_t(which)];
    level = setgain_->run(use, level);
}

// The list opens on the key's format; only OK changes the slot, which stays 0..15.
void Trs422kbdf::selectformat(TQveButton* key)
{
    const int slot = formatSlot(key->Tag(), !shiftf->isHidden());
    if (slot < 0)
        return;
    const std::size_t at = mon::FormatAssign + std::size_t(slot);
    if (const auto chosen = selFormat_->pick(model_.MonImage.bytes[at]))
        model_.MonImage.bytes[at] = std::uint8_t(*chosen);
    showformatkeys();
}

// Only the captions change: the keys keep the codes they carry now, also those not yet
// copied into the image.
void Trs422kbdf::showformatkeys()
{
    if (model_.KbdType() != KbdMonitor)
        return;
    const bool shifted = !shiftf->isHidden();
    for (TQveButton* key : KeyButtons) {
        const int code = key->Tag();
        if (formatSlot(code, shifted) < 0)
            continue;
        const auto caption = formatMemoryCaption(model_.MonImage, code, shifted);
        key->setCaption(caption ? *caption : keyFace(ListMonitor, code).caption);
    }
}
