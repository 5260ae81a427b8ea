#include "LayoutText.h"

#include "model/FunctionTables.h"
#include "model/LayoutWords.h"
#include "model/Levels.h"
#include "model/MacroLabels.h"
#include "model/Records.h"

namespace zeltra::cli {
namespace {

constexpr int FormatKeys = mon::FormatSlots / 2; // "User-A".."User-H", then shifted

QString padded(const QString& text, int width)
{
    return text.leftJustified(width);
}

QString text(const timecode::Bcd& t)
{
    return timecode::toText(t);
}

QString keyLine(int listKind, int key, int code)
{
    const auto& e = functionTable(listKind)[std::size_t(findfunction(listKind, code))];
    const QString name = e.Code == 0 ? QStringLiteral("-") : QString::fromLatin1(e.Name).trimmed();
    return QStringLiteral("  %1 %2 code %3  %4")
        .arg(padded(QStringLiteral("key%1").arg(key + 1), 6), padded(name, 9),
             padded(QString::number(code), 4), QString::fromLatin1(e.Description));
}

QString formatRef(const MonitorImage& image, int slot)
{
    const int record = records::formatMemory(image, slot).format();
    if (record >= mon::FormatCount)
        return QStringLiteral("format %1 (no such record)").arg(record + 1);
    return QStringLiteral("format %1 \"%2\"").arg(record + 1).arg(printable(image.formatName(record)));
}

void keys(QStringList& out, int listKind, std::span<const std::uint8_t> image)
{
    out << QStringLiteral("Keys");
    for (int k = 0; k < KeyCount; ++k)
        out << keyLine(listKind, k, image[mcn::KeyCodes + std::size_t(k)]);
}

void machineTables(QStringList& out, const MachineImage& img)
{
    out << QStringLiteral("Macros");
    for (int m = 0; m < mcn::MacroCount; ++m) {
        const std::uint8_t code = records::macro(img, m).code();
        out << QStringLiteral("  M%1  %2").arg(QChar(u'A' + m)).arg(
                   code == 0 ? QStringLiteral("-")
                             : QStringLiteral("%1 code %2").arg(padded(macros::macroname(code), 9)).arg(code));
    }
    out << QStringLiteral("Cues");
    for (int k = 0; k < mcn::CueCount; ++k) {
        const auto cue = records::cue(img, k);
        out << QStringLiteral("  %1 %2  number %3")
                   .arg(padded(QStringLiteral("Cue %1").arg(k + 1), 8), text(cue.timecode()))
                   .arg(cue.number());
    }
    out << QStringLiteral("Loops");
    for (int k = 0; k < mcn::LoopCount; ++k) {
        const auto loop = records::loop(img, k);
        const int action = loop.endAction();
        out << QStringLiteral("  %1 %2 to %3  machine %4, end action %5, end destination Loop %6")
                   .arg(padded(QStringLiteral("Loop %1").arg(k + 1), 8), text(loop.in()), text(loop.out()))
                   .arg(loop.machine())
                   .arg(action < words::loopEndActions().size() ? words::loopEndActions()[action]
                                                                : QStringLiteral("action %1").arg(action))
                   .arg(loop.endDestination() + 1);
    }
    out << QStringLiteral("GPO times");
    for (int k = 0; k < mcn::GpoCount; ++k)
        out << QStringLiteral("  %1 %2").arg(padded(QStringLiteral("GPO %1").arg(k + 1), 8),
                                            text(records::gpo(img, k).timecode()));
    out << QStringLiteral("Configuration");
    std::span<const std::uint8_t> b(img.bytes);
    out << QStringLiteral("  Unit Config    %1").arg(hexBytes(b.subspan(mcn::UnitConfig, 16)));
    out << QStringLiteral("  Port A Config  %1").arg(hexBytes(b.subspan(mcn::PortAConfig, 16)));
    out << QStringLiteral("  Port B Config  %1").arg(hexBytes(b.subspan(mcn::PortBConfig, 16)));
}

QString trimText(int step)
{
    const formats::GainUse use = formats::outputTrimUse();
    if (step > use.maximum)
        return QStringLiteral("step %1").arg(step);
    return QStringLiteral("step %1  %2").arg(padded(QString::number(step), 2),
                                             formats::levelText(step, use.zero));
}

void monitorTables(QStringList& out, const MonitorImage& img)
{
    out << QStringLiteral("Format memories");
    for (int s = 0; s < FormatKeys; ++s)
        out << QStringLiteral("  %1 %2, shifted %3")
                   .arg(padded(words::functionName(ListMonitor, codes::UserA + s), 8),
                        formatRef(img, s), formatRef(img, s + FormatKeys));
    out << QStringLiteral("Formats");
    for (int r = 0; r < mon::FormatCount; ++r)
        out << QStringLiteral("  %1 %2").arg(padded(QStringLiteral("Format %1").arg(r + 1), 10),
                                            formatText(img, r));
    out << QStringLiteral("Trims");
    for (int t = 0; t < mon::OutputTrims; ++t)
        out << QStringLiteral("  %1 %2").arg(padded(words::trimOutput(t), 8),
                                            trimText(records::trim(img, t).step()));
    out << QStringLiteral("Configuration");
    std::span<const std::uint8_t> b(img.bytes);
    out << QStringLiteral("  Unit Config    %1").arg(hexBytes(b.subspan(mon::UnitConfig, 16)));
    out << QStringLiteral("  Dim + Other    %1").arg(hexBytes(b.subspan(mon::PecDirData, 16)));
}

} // namespace

QString hexBytes(std::span<const std::uint8_t> bytes)
{
    return words::hexPairs(bytes.data(), bytes.size());
}

QString formatText(const MonitorImage& image, int record)
{
    using namespace formats;
    const QString name = QLatin1Char('"') + printable(image.formatName(record)) + QLatin1Char('"');
    const auto format = records::format(image, record);
    return QStringLiteral("%1 %2, trims in %3 stereo %4")
        .arg(padded(name, 10), describeFields(format.fields()),
             levelText(format.inputTrim(), inputTrimUse().zero),
             levelText(format.stereoTrim(), stereoTrimUse().zero));
}

QStringList layoutText(const LayoutData& model)
{
    QStringList out;
    if (model.KbdType() == KbdMachine) {
        out << QStringLiteral("Machine control layout");
        const auto firstKeyLine = out.size() + 1; // after "Keys"
        keys(out, ListMachine, model.McnImage.bytes);
        for (int k = 0; k < KeyCount; ++k)
            if (auto caption = macros::keyCaption(model.McnImage, model.McnImage.keyCode(k)))
                out[firstKeyLine + k] += QStringLiteral("  fires %1").arg(*caption);
        machineTables(out, model.McnImage);
    } else if (model.KbdType() == KbdMonitor) {
        out << QStringLiteral("Monitor control layout");
        keys(out, ListMonitor, model.MonImage.bytes);
        monitorTables(out, model.MonImage);
    }
    return out;
}

} // namespace zeltra::cli
