#include "model/LayoutDocument.h"

#include "model/FunctionTables.h"
#include "model/LayoutWords.h"
#include "model/Levels.h"
#include "model/MacroLabels.h"
#include "model/Records.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <vector>

namespace zeltra::layoutdoc {
namespace {

constexpr int FormatKeys = mon::FormatSlots / 2; // "User-A".."User-H", then shifted

QString timecodeText(const timecode::Bcd& t)
{
    return words::timecodeWords(t.data());
}

// Reads the image and remembers which bytes a named field has taken.
class Exporter {
  public:
    explicit Exporter(const QByteArray& image)
        : b_(reinterpret_cast<const std::uint8_t*>(image.constData()), std::size_t(image.size())),
          covered_(b_.size(), false)
    {}
    // The image, for the record views.
    std::span<const std::uint8_t> image() const { return b_; }
    // A record whose every byte a named field tells.
    template <class Record> Record named(const Record& r)
    {
        mark(std::size_t(r.bytes().data() - b_.data()), r.bytes().size());
        return r;
    }
    int byte(std::size_t at)
    {
        covered_[at] = true;
        return b_[at];
    }
    QString hex(std::size_t at, std::size_t n)
    {
        mark(at, n);
        return words::hexPairs(b_.data() + at, n);
    }
    void mark(std::size_t at, std::size_t n)
    {
        std::fill_n(covered_.begin() + qsizetype(at), n, true);
    }
    QJsonArray unnamed() const;

  private:
    std::span<const std::uint8_t> b_;
    std::vector<bool> covered_;
};

QJsonArray Exporter::unnamed() const
{
    QJsonArray runs;
    for (std::size_t i = 0; i < covered_.size();) {
        if (covered_[i]) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < covered_.size() && !covered_[end])
            ++end;
        runs.append(QJsonObject{{"offset", int(i)}, {"bytes", words::hexPairs(b_.data() + i, end - i)}});
        i = end;
    }
    return runs;
}

QJsonArray keys(Exporter& e, int listKind)
{
    QJsonArray out;
    for (int k = 0; k < KeyCount; ++k) {
        const int code = e.byte(mcn::KeyCodes + std::size_t(k));
        out.append(QJsonObject{
            {"index", k + 1}, {"code", code}, {"function", words::functionName(listKind, code)}});
    }
    return out;
}

QJsonArray cues(Exporter& e)
{
    QJsonArray out;
    for (int k = 0; k < mcn::CueCount; ++k) {
        const auto cue = e.named(records::cue(e.image(), k));
        out.append(QJsonObject{
            {"index", k + 1}, {"timecode", timecodeText(cue.timecode())}, {"number", cue.number()}});
    }
    return out;
}

QJsonArray loops(Exporter& e)
{
    QJsonArray out;
    for (int k = 0; k < mcn::LoopCount; ++k) {
        const auto loop = e.named(records::loop(e.image(), k));
        out.append(QJsonObject{{"index", k + 1},
                               {"in", timecodeText(loop.in())},
                               {"out", timecodeText(loop.out())},
                               {"machine", words::choice(words::loopMachines(), loop.machine())},
                               {"endAction", words::choice(words::loopEndActions(), loop.endAction())},
                               {"endDestination", words::loopDestination(loop.endDestination())},
                               {"clip", loop.clip()}});
    }
    return out;
}

QJsonArray gpoTimes(Exporter& e)
{
    QJsonArray out;
    for (int k = 0; k < mcn::GpoCount; ++k)
        out.append(QJsonObject{
            {"index", k + 1}, {"timecode", timecodeText(e.named(records::gpo(e.image(), k)).timecode())}});
    return out;
}

QJsonArray macroList(Exporter& e)
{
    QJsonArray out;
    for (int m = 0; m < mcn::MacroCount; ++m) {
        const int code = e.named(records::macro(e.image(), m)).code();
        out.append(QJsonObject{
            {"macro", QString(QChar(u'A' + m))},
            {"code", code},
            {"function", code == 0 ? QString() : macros::macroname(std::uint8_t(code))}});
    }
    return out;
}

QJsonObject machine(Exporter& e)
{
    return {{"kind", "machine"},
            {"keys", keys(e, ListMachine)},
            {"unitConfig", e.hex(mcn::UnitConfig, 16)},
            {"portAConfig", e.hex(mcn::PortAConfig, 16)},
            {"portBConfig", e.hex(mcn::PortBConfig, 16)},
            {"cues", cues(e)},
            {"loops", loops(e)},
            {"gpoTimes", gpoTimes(e)},
            {"macros", macroList(e)}};
}

QJsonArray formatMemories(Exporter& e)
{
    QJsonArray out;
    for (int s = 0; s < FormatKeys; ++s)
        out.append(QJsonObject{
            {"key", words::functionName(ListMonitor, codes::UserA + s)},
            {"format", e.named(records::formatMemory(e.image(), s)).format() + 1},
            {"shifted", e.named(records::formatMemory(e.image(), s + FormatKeys)).format() + 1}});
    return out;
}

// The name only when it is what the format editor stores (length 8), so that it gives back
// its bytes; any other name's bytes stay unnamed.
template <class Format> QJsonValue formatName(Exporter& e, const Format& f)
{
    if (f.nameLength() != int(mon::FormatNameLen))
        return QJsonValue::Null;
    e.mark(std::size_t(f.bytes().data() - e.image().data()), 1 + mon::FormatNameLen);
    return f.name();
}

QJsonObject formatRecord(Exporter& e, int r)
{
    using namespace formats;
    const auto format = records::format(e.image(), r);
    const FormatFields f = format.fields();
    e.mark(std::size_t(format.bytes().data() - e.image().data()) + rec::Source, rec::Spare - rec::Source);
    e.mark(std::size_t(format.bytes().data() - e.image().data()) + rec::InputTrim, 2);
    const int inTrim = format.inputTrim();
    const int stTrim = format.stereoTrim();
    return {{"index", r + 1},
            {"name", formatName(e, format)},
            {"input", words::choice(choices::inputs(), f.input)},
            {"inputType", words::choice(choices::inputTypes(), f.inputType)},
            {"stereoPair", words::choice(choices::stereoPairs(), f.stereoPair)},
            {"lrExtra", f.lrExtra},
            {"imax", f.imax},
            {"order", words::choice(choices::orders(), f.order)},
            {"surround", words::choice(choices::surrounds(), f.surround)},
            {"subSource", words::choice(choices::subSources(), f.source)},
            {"subGain", words::choice(choices::subGains(), f.gain)},
            {"inputMask", words::hexPairs(&f.inputMask, 1)},
            {"outputMask1", words::hexPairs(&f.outputMask1, 1)},
            {"outputMask2", words::hexPairs(&f.outputMask2, 1)},
            {"inputTrim", inTrim},
            {"inputTrimLevel", levelText(inTrim, inputTrimUse().zero)},
            {"stereoTrim", stTrim},
            {"stereoTrimLevel", levelText(stTrim, stereoTrimUse().zero)}};
}

QJsonArray trims(Exporter& e)
{
    QJsonArray out;
    for (int t = 0; t < mon::OutputTrims; ++t) {
        const int step = e.named(records::trim(e.image(), t)).step();
        out.append(QJsonObject{
            {"output", words::trimOutput(t)}, {"step", step}, {"level", words::trimLevel(step)}});
    }
    return out;
}

QJsonObject monitor(Exporter& e)
{
    QJsonArray formats;
    for (int r = 0; r < mon::FormatCount; ++r)
        formats.append(formatRecord(e, r));
    return {{"kind", "monitor"},
            {"keys", keys(e, ListMonitor)},
            {"unitConfig", e.hex(mon::UnitConfig, 16)},
            {"formatMemories", formatMemories(e)},
            {"formats", formats},
            {"trims", trims(e)},
            {"dimAndOther", e.hex(mon::PecDirData, 16)}};
}

} // namespace

int imageKind(const QByteArray& image)
{
    if (image.size() == qsizetype(mcn::Size) && image[0] == char(KbdMachine))
        return KbdMachine;
    if (image.size() == qsizetype(mon::Size) && image[0] == char(KbdMonitor))
        return KbdMonitor;
    return -1;
}

QJsonObject exportImage(const QByteArray& image)
{
    const int kind = imageKind(image);
    if (kind < 0)
        return {};
    Exporter e(image);
    e.byte(0); // the kind
    QJsonObject doc = kind == KbdMachine ? machine(e) : monitor(e);
    doc.insert("format", DocumentFormat);
    doc.insert("unnamedBytes", e.unnamed());
    return doc;
}

QByteArray documentText(const QJsonObject& document)
{
    // Qt indents by four; every leading blank of its output is indentation (a line break
    // inside a string is written as \n), so halving them gives two-space steps.
    const QList<QByteArray> lines =
        QJsonDocument(document).toJson(QJsonDocument::Indented).split('\n');
    QByteArray out;
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        qsizetype blanks = 0;
        while (blanks < line.size() && line[blanks] == ' ')
            ++blanks;
        out += line.mid(blanks / 2) + '\n';
    }
    return out;
}

} // namespace zeltra::layoutdoc
