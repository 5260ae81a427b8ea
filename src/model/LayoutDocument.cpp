#include "model/LayoutDocument.h"

#include "formats/FormatRecord.h"
#include "formats/Levels.h"
#include "model/FunctionTables.h"
#include "model/Images.h"
#include "model/LayoutWords.h"
#include "model/MacroLabels.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <vector>

namespace zeltra::layoutdoc {
namespace {

constexpr int FormatKeys = 8; // "User-A".."User-H": slots 0..7, shifted 8..15

// Reads the image and remembers which bytes a named field has taken.
class Exporter {
  public:
    explicit Exporter(const QByteArray& image)
        : b_(reinterpret_cast<const std::uint8_t*>(image.constData())),
          covered_(std::size_t(image.size()), false)
    {}
    int byte(std::size_t at)
    {
        covered_[at] = true;
        return b_[at];
    }
    int be16(std::size_t at) { return byte(at) << 8 | byte(at + 1); }
    QString hex(std::size_t at, std::size_t n)
    {
        mark(at, n);
        return words::hexPairs(b_ + at, n);
    }
    QString timecode(std::size_t at)
    {
        mark(at, 4);
        return words::timecodeWords(b_ + at);
    }
    const std::uint8_t* at(std::size_t offset) const { return b_ + offset; }
    void mark(std::size_t at, std::size_t n)
    {
        std::fill_n(covered_.begin() + qsizetype(at), n, true);
    }
    QJsonArray unnamed() const;

  private:
    const std::uint8_t* b_;
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
        runs.append(QJsonObject{{"offset", int(i)}, {"bytes", words::hexPairs(b_ + i, end - i)}});
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
        const std::size_t at = mcn::Cues + mcn::CueSize * std::size_t(k);
        out.append(QJsonObject{
            {"index", k + 1}, {"timecode", e.timecode(at)}, {"number", e.be16(at + 4)}});
    }
    return out;
}

QJsonArray loops(Exporter& e)
{
    QJsonArray out;
    for (int k = 0; k < mcn::LoopCount; ++k) {
        const std::size_t at = mcn::Loops + mcn::LoopSize * std::size_t(k);
        const int end = e.byte(at + 9);
        out.append(QJsonObject{{"index", k + 1},
                               {"in", e.timecode(at)},
                               {"out", e.timecode(at + 4)},
                               {"machine", words::choice(words::loopMachines(), e.byte(at + 8))},
                               {"endAction", words::choice(words::loopEndActions(), end & 15)},
                               {"endDestination", words::loopDestination(end >> 4)},
                               {"clip", e.be16(at + 8)}});
    }
    return out;
}

QJsonArray gpoTimes(Exporter& e)
{
    QJsonArray out;
    for (int k = 0; k < mcn::GpoCount; ++k)
        out.append(QJsonObject{
            {"index", k + 1}, {"timecode", e.timecode(mcn::Gpos + mcn::GpoSize * std::size_t(k))}});
    return out;
}

QJsonArray macroList(Exporter& e)
{
    QJsonArray out;
    for (int m = 0; m < mcn::MacroCount; ++m) {
        const int code = e.byte(mcn::MacroTable + std::size_t(m));
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
        out.append(
            QJsonObject{{"key", words::functionName(ListMonitor, 48 + s)},
                        {"format", e.byte(mon::FormatAssign + std::size_t(s)) + 1},
                        {"shifted", e.byte(mon::FormatAssign + std::size_t(s + FormatKeys)) + 1}});
    return out;
}

// The name only when it is what the format editor stores (length 8), so that it gives back
// its bytes; any other name's bytes stay unnamed.
QJsonValue formatName(Exporter& e, std::size_t at)
{
    if (*e.at(at) != mon::FormatNameLen)
        return QJsonValue::Null;
    e.mark(at, 1 + mon::FormatNameLen);
    return QString::fromLatin1(reinterpret_cast<const char*>(e.at(at + 1)), mon::FormatNameLen);
}

QJsonObject formatRecord(Exporter& e, int r)
{
    using namespace formats;
    const std::size_t at = MonitorImage::formatOffset(r);
    RecordBytes bytes{};
    std::copy_n(e.at(at), RecordSize, bytes.begin());
    const FormatFields f = unpackFields(bytes);
    e.mark(at + rec::Source, rec::Spare - rec::Source);
    const int inTrim = e.byte(at + rec::InputTrim);
    const int stTrim = e.byte(at + rec::StereoTrim);
    return {{"index", r + 1},
            {"name", formatName(e, at)},
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
    for (int t = 0; t < 16; ++t) {
        const int step = e.byte(mon::OutputTrim + std::size_t(t));
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
