#include "print/LayoutCard.h"

#include "model/FunctionTables.h"
#include "model/KeyFaces.h"
#include "model/LayoutWords.h"
#include "model/Levels.h"
#include "model/MacroLabels.h"
#include "model/Records.h"

namespace zeltra::card {
namespace {

constexpr int FormatKeys = mon::FormatSlots / 2; // "User-A".."User-H": slots 0..7, shifted 8..15

QString number(int n)
{
    return QString::number(n);
}

// A name from the file as it can be printed: a control character becomes '.'.
QString printable(const QString& text)
{
    return words::printable(text.trimmed());
}

Key key(int index, const KeyFace& face, const std::optional<QString>& caption)
{
    return {KeyPlaces[std::size_t(index)], printable(caption.value_or(face.caption)), face.fill,
            face.text};
}

QString description(int listKind, int code)
{
    const auto& e = functionTable(listKind)[std::size_t(findfunction(listKind, code))];
    return QString::fromLatin1(e.Description);
}

Table keyTable(int listKind, const QList<Key>& keys, const std::uint8_t* codes)
{
    Table t{QStringLiteral("Keys"), {"Key", "Function", "Code", "Description"}, {}};
    for (int k = 0; k < KeyCount; ++k) {
        const QString name = words::functionName(listKind, codes[k]);
        QString shown = name.isEmpty() ? QStringLiteral("-") : name;
        if (keys[k].caption != name && !keys[k].caption.isEmpty())
            shown += QStringLiteral(" (%1)").arg(keys[k].caption);
        t.rows << QStringList{QStringLiteral("key%1").arg(k + 1), shown, number(codes[k]),
                              description(listKind, codes[k])};
    }
    return t;
}

QString timecode(const timecode::Bcd& t)
{
    return words::timecodeWords(t.data());
}

Table macroTable(const MachineImage& img)
{
    Table t{QStringLiteral("Macros"), {"Macro", "Function", "Code"}, {}};
    for (int m = 0; m < mcn::MacroCount; ++m) {
        const std::uint8_t code = records::macro(img, m).code();
        t.rows << QStringList{QStringLiteral("Macro %1").arg(QChar(u'A' + m)),
                              code == 0 ? QStringLiteral("-") : macros::macroname(code),
                              code == 0 ? QString() : number(code)};
    }
    return t;
}

Table cueTable(const MachineImage& img)
{
    Table t{QStringLiteral("Cues"), {"Cue", "Timecode", "Number"}, {}};
    for (int k = 0; k < mcn::CueCount; ++k) {
        const auto cue = records::cue(img, k);
        t.rows << QStringList{QStringLiteral("Cue %1").arg(k + 1), timecode(cue.timecode()),
                              number(cue.number())};
    }
    return t;
}

Table loopTable(const MachineImage& img)
{
    Table t{QStringLiteral("Loops"), {"Loop", "In", "Out", "Machine", "End action", "Then"}, {}};
    for (int k = 0; k < mcn::LoopCount; ++k) {
        const auto loop = records::loop(img, k);
        t.rows << QStringList{QStringLiteral("Loop %1").arg(k + 1), timecode(loop.in()),
                              timecode(loop.out()), words::choice(words::loopMachines(), loop.machine()),
                              words::choice(words::loopEndActions(), loop.endAction()),
                              words::loopDestination(loop.endDestination())};
    }
    return t;
}

Table gpoTable(const MachineImage& img)
{
    Table t{QStringLiteral("GPO times"), {"GPO", "Timecode"}, {}};
    for (int k = 0; k < mcn::GpoCount; ++k)
        t.rows << QStringList{QStringLiteral("GPO %1").arg(k + 1),
                              timecode(records::gpo(img, k).timecode())};
    return t;
}

QString formatRef(const MonitorImage& img, int slot)
{
    const int record = records::formatMemory(img, slot).format();
    if (record >= mon::FormatCount)
        return QStringLiteral("%1 (no such format)").arg(record + 1);
    return QStringLiteral("%1 \"%2\"").arg(record + 1).arg(printable(img.formatName(record)));
}

Table memoryTable(const MonitorImage& img)
{
    Table t{QStringLiteral("Format memories"), {"Key", "Format", "Shifted"}, {}};
    for (int s = 0; s < FormatKeys; ++s)
        t.rows << QStringList{words::functionName(ListMonitor, codes::UserA + s),
                              formatRef(img, s), formatRef(img, s + FormatKeys)};
    return t;
}

Table formatTable(const MonitorImage& img)
{
    using namespace formats;
    Table t{QStringLiteral("Formats"), {"Format", "Name", "Fields", "Input trim", "Stereo trim"}, {}};
    for (int r = 0; r < mon::FormatCount; ++r) {
        const auto format = records::format(img, r);
        t.rows << QStringList{number(r + 1), printable(img.formatName(r)),
                              describeFields(format.fields()),
                              levelText(format.inputTrim(), inputTrimUse().zero),
                              levelText(format.stereoTrim(), stereoTrimUse().zero)};
    }
    return t;
}

Table trimTable(const MonitorImage& img)
{
    Table t{QStringLiteral("Trims"), {"Output", "Step", "Level"}, {}};
    for (int k = 0; k < mon::OutputTrims; ++k) {
        const int step = records::trim(img, k).step();
        t.rows << QStringList{words::trimOutput(k), number(step), words::trimLevel(step)};
    }
    return t;
}

} // namespace

Card machineCard(const MachineImage& img)
{
    Card c{QStringLiteral("Machine control layout"), {}, {510, 85, 200, true}, {}};
    for (int k = 0; k < KeyCount; ++k) {
        const int code = img.keyCode(k);
        c.keys << key(k, keyFace(ListMachine, code), macros::keyCaption(img, code));
    }
    c.tables << keyTable(ListMachine, c.keys, img.bytes.data() + mcn::KeyCodes) << macroTable(img)
             << cueTable(img) << loopTable(img) << gpoTable(img);
    return c;
}

Card monitorCard(const MonitorImage& img)
{
    Card c{QStringLiteral("Monitor control layout"), {}, {560, 135, 100, false}, {}};
    for (int k = 0; k < KeyCount; ++k) {
        const int code = img.keyCode(k);
        c.keys << key(k, keyFace(ListMonitor, code), formatMemoryCaption(img, code, false));
    }
    c.tables << keyTable(ListMonitor, c.keys, img.bytes.data() + mon::KeyCodes)
             << memoryTable(img) << formatTable(img) << trimTable(img);
    return c;
}

} // namespace zeltra::card
