#include "model/LayoutDocument.h"

#include "model/DocumentFields.h"
#include "model/DocumentScan.h"

#include "model/FunctionTables.h"
#include "model/LayoutWords.h"
#include "model/Records.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <vector>

// Import: every field is checked before its bytes are placed, and the first fault ends the
// import with the place and the problem in one line.
namespace zeltra::layoutdoc {
namespace {

// The four bytes a timecode field gave.
timecode::Bcd bcd(const QByteArray& four)
{
    timecode::Bcd t{};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(four.constData()), t.size(), t.begin());
    return t;
}

class Importer {
  public:
    Importer(const QJsonObject& doc, int kind)
        : image_(kind == KbdMachine ? qsizetype(mcn::Size) : qsizetype(mon::Size), '\0')
    {
        unnamed(doc.value("unnamedBytes"));
        image_[0] = char(kind);
        if (kind == KbdMachine)
            machine(doc);
        else
            monitor(doc);
    }
    const QByteArray& image() const { return image_; }
    const std::vector<Claim>& claims() const { return claims_; }

  private:
    // The image, for the record views.
    std::span<std::uint8_t> image()
    {
        return {reinterpret_cast<std::uint8_t*>(image_.data()), std::size_t(image_.size())};
    }
    void put(std::size_t at, const QByteArray& bytes)
    {
        image_.replace(qsizetype(at), bytes.size(), bytes);
    }
    void put(std::size_t at, int byte) { image_[qsizetype(at)] = char(byte); }
    void unnamed(const QJsonValue& v);
    void keys(const Fields& top);
    void machine(const QJsonObject& doc);
    void monitor(const QJsonObject& doc);
    void format(const QJsonValue& v, qsizetype r);
    // The entries of a list section, each checked for its fields and its index.
    template <class Each>
    void entries(const Fields& top, const QString& section, int count, const QStringList& required,
                 const QStringList& repeats, Each each)
    {
        const QJsonArray list = top.list(section, count);
        for (qsizetype i = 0; i < list.size(); ++i) {
            Fields f(list[i], item(section, i), required, repeats);
            if (required.contains(QStringLiteral("index")) && f.integer("index", 1, count) != i + 1)
                fail(f.at("index"),
                     QStringLiteral("%1, expected %2").arg(shown(f.value("index"))).arg(i + 1));
            f.claims(claims_, section, int(i));
            each(f, std::size_t(i));
        }
    }

    QByteArray image_;
    std::vector<Claim> claims_;
};

void Importer::unnamed(const QJsonValue& v)
{
    const Fields top(QJsonObject{{"unnamedBytes", v}}, {}, {"unnamedBytes"});
    const QJsonArray list = top.list("unnamedBytes", -1);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const Fields f(list[i], item("unnamedBytes", i), {"offset", "bytes"});
        const int offset = f.integer("offset", 0, int(image_.size()) - 1);
        put(std::size_t(offset), f.hex("bytes", 0, image_.size() - offset));
    }
}

void Importer::keys(const Fields& top)
{
    entries(
        top, "keys", KeyCount, {"index", "code"}, {"function"},
        [&](const Fields& f, std::size_t k) { put(mcn::KeyCodes + k, f.integer("code", 0, 255)); });
}

void Importer::machine(const QJsonObject& doc)
{
    const Fields top(doc, {},
                     {"format", "kind", "unnamedBytes", "keys", "unitConfig", "portAConfig",
                      "portBConfig", "cues", "loops", "gpoTimes", "macros"});
    keys(top);
    put(mcn::UnitConfig, top.hex("unitConfig", 16));
    put(mcn::PortAConfig, top.hex("portAConfig", 16));
    put(mcn::PortBConfig, top.hex("portBConfig", 16));
    entries(top, "cues", mcn::CueCount, {"index", "timecode", "number"}, {},
            [&](const Fields& f, std::size_t k) {
                auto cue = records::cue(image(), int(k));
                cue.setTimecode(bcd(f.timecode("timecode")));
                cue.setNumber(std::uint16_t(f.integer("number", 0, 65535)));
            });
    QStringList destinations;
    for (int l = 0; l < 16; ++l)
        destinations << words::loopDestination(l);
    entries(top, "loops", mcn::LoopCount,
            {"index", "in", "out", "machine", "endAction", "endDestination"}, {"clip"},
            [&](const Fields& f, std::size_t k) {
                auto loop = records::loop(image(), int(k));
                loop.setIn(bcd(f.timecode("in")));
                loop.setOut(bcd(f.timecode("out")));
                loop.setMachine(f.pick("machine", words::loopMachines(), 255));
                loop.setEndDestination(f.pick("endDestination", destinations));
                loop.setEndAction(f.pick("endAction", words::loopEndActions(), 15));
            });
    entries(top, "gpoTimes", mcn::GpoCount, {"index", "timecode"}, {},
            [&](const Fields& f, std::size_t k) {
                records::gpo(image(), int(k)).setTimecode(bcd(f.timecode("timecode")));
            });
    entries(top, "macros", mcn::MacroCount, {"macro", "code"}, {"function"},
            [&](const Fields& f, std::size_t m) {
                if (f.text("macro") != QString(QChar(u'A' + int(m))))
                    fail(f.at("macro"), QStringLiteral("%1, expected \"%2\"")
                                            .arg(shown(f.value("macro")))
                                            .arg(QChar(u'A' + int(m))));
                records::macro(image(), int(m)).setCode(std::uint8_t(f.integer("code", 0, 255)));
            });
}

void Importer::format(const QJsonValue& v, qsizetype r)
{
    using namespace formats;
    const Fields f(v, item("formats", r),
                   {"index", "name", "input", "inputType", "stereoPair", "lrExtra", "imax", "order",
                    "surround", "subSource", "subGain", "inputMask", "outputMask1", "outputMask2",
                    "inputTrim", "stereoTrim"},
                   {"inputTrimLevel", "stereoTrimLevel"});
    if (f.integer("index", 1, mon::FormatCount) != r + 1)
        fail(f.at("index"),
             QStringLiteral("%1, expected %2").arg(shown(f.value("index"))).arg(r + 1));
    f.claims(claims_, "formats", int(r));
    auto format = records::format(image(), int(r));
    RecordBytes bytes = format.record();
    if (!f.value("name").isNull()) {
        const QString name = f.text("name");
        if (name.size() > NameSize)
            fail(f.at("name"), QStringLiteral("%1 has %2 characters, at most %3")
                                   .arg(shown(f.value("name")))
                                   .arg(name.size())
                                   .arg(NameSize));
        for (QChar c : name)
            if (c.unicode() > 0xFF)
                fail(f.at("name"), QStringLiteral("%1 holds a character the keyboard cannot store")
                                       .arg(shown(f.value("name"))));
        writeName(bytes, storedName(name, int(r)));
    }
    FormatFields ff;
    ff.input = f.pick("input", choices::inputs());
    ff.inputType = f.pick("inputType", choices::inputTypes());
    ff.stereoPair = f.pick("stereoPair", choices::stereoPairs());
    ff.lrExtra = f.flag("lrExtra");
    ff.imax = f.flag("imax");
    ff.order = f.pick("order", choices::orders());
    ff.surround = f.pick("surround", choices::surrounds(), 7);
    ff.source = f.pick("subSource", choices::subSources());
    ff.gain = f.pick("subGain", choices::subGains());
    ff.inputMask = std::uint8_t(f.hex("inputMask", 1)[0]);
    ff.outputMask1 = std::uint8_t(f.hex("outputMask1", 1)[0]);
    ff.outputMask2 = std::uint8_t(f.hex("outputMask2", 1)[0]);
    packFields(ff, bytes);
    bytes[rec::InputTrim] = std::uint8_t(f.integer("inputTrim", 0, 255));
    bytes[rec::StereoTrim] = std::uint8_t(f.integer("stereoTrim", 0, 255));
    format.setRecord(bytes);
}

void Importer::monitor(const QJsonObject& doc)
{
    const Fields top(doc, {},
                     {"format", "kind", "unnamedBytes", "keys", "unitConfig", "formatMemories",
                      "formats", "trims", "dimAndOther"});
    keys(top);
    put(mon::UnitConfig, top.hex("unitConfig", 16));
    constexpr int keys = mon::FormatSlots / 2;
    entries(top, "formatMemories", keys, {"format", "shifted"}, {"key"},
            [&](const Fields& f, std::size_t s) {
                records::formatMemory(image(), int(s)).setFormat(f.integer("format", 1, 256) - 1);
                records::formatMemory(image(), int(s) + keys).setFormat(f.integer("shifted", 1, 256) - 1);
            });
    const QJsonArray formats = top.list("formats", mon::FormatCount);
    for (qsizetype r = 0; r < formats.size(); ++r)
        format(formats[r], r);
    entries(top, "trims", mon::OutputTrims, {"step"}, {"output", "level"},
            [&](const Fields& f, std::size_t t) {
                records::trim(image(), int(t)).setStep(f.integer("step", 0, 255));
            });
    put(mon::PecDirData, top.hex("dimAndOther", 16));
}

QString parseFault(const QByteArray& text, const QJsonParseError& e)
{
    const QByteArray before = text.left(e.offset);
    const auto line = before.count('\n') + 1;
    const auto column = e.offset - (before.lastIndexOf('\n') + 1) + 1;
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(e.errorString());
}

int documentKind(const QJsonObject& doc)
{
    const Fields head(QJsonObject{{"format", doc.value("format")}, {"kind", doc.value("kind")}}, {},
                      {"format", "kind"});
    if (!doc.contains("format"))
        fail("format", QStringLiteral("missing"));
    if (!doc.contains("kind"))
        fail("kind", QStringLiteral("missing"));
    if (head.integer("format", 0, 1'000'000) != DocumentFormat)
        fail("format", QStringLiteral("%1 is not a document format this program reads (%2)")
                           .arg(shown(doc.value("format")))
                           .arg(DocumentFormat));
    const int kind = head.pick("kind", {"machine", "monitor"});
    return kind == 0 ? KbdMachine : KbdMonitor;
}

// The repeating fields must say what the built image says.
void checkClaims(const Importer& in)
{
    const QJsonObject built = exportImage(in.image());
    for (const Claim& c : in.claims()) {
        const QJsonValue truth =
            built.value(c.section).toArray().at(c.item).toObject().value(c.key);
        if (c.value != truth)
            fail(c.place, QStringLiteral("%1 does not match the other fields (they make it %2)")
                              .arg(shown(c.value), shown(truth)));
    }
}

} // namespace

Imported importDocument(const QByteArray& text)
{
    if (text.size() > MaxDocumentBytes)
        return {{}, QStringLiteral("document: larger than %1 bytes").arg(MaxDocumentBytes)};
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return {{}, parseFault(text, parsed)};
    if (const QString fault = strictFault(text); !fault.isEmpty())
        return {{}, fault};
    try {
        if (!doc.isObject())
            fail("document", QStringLiteral("not a JSON object"));
        const Importer in(doc.object(), documentKind(doc.object()));
        checkClaims(in);
        return {in.image(), {}};
    } catch (const Fault& f) {
        return {{}, f.line};
    }
}

} // namespace zeltra::layoutdoc
