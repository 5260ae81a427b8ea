#include "model/LayoutDiff.h"

#include <QJsonArray>
#include <QMap>

namespace zeltra::layoutdoc {
namespace {

// How a list section of the document is told: what one entry is called and by which field,
// the field that is the entry itself, fields told only when that one is the same (a code
// behind an equal name), fields that only repeat others, and fields told with their words.
struct Section {
    const char* key;
    const char* label;
    const char* name;      // field naming the entry; "index" for a number
    const char* principal; // told as "label N: a -> b"; may be empty
    QStringList whenSame;
    QStringList repeats;
    QMap<QString, QString> wordsOf;
};

const QList<Section>& sections()
{
    static const QList<Section> list{
        {"keys", "key", "index", "function", {"code"}, {}, {}},
        {"cues", "cue", "index", "timecode", {}, {}, {}},
        {"loops", "loop", "index", "", {}, {"clip"}, {}},
        {"gpoTimes", "GPO", "index", "timecode", {}, {}, {}},
        {"macros", "macro", "macro", "function", {"code"}, {}, {}},
        {"formatMemories", "format memory", "key", "format", {}, {}, {}},
        {"formats",
         "format",
         "index",
         "",
         {},
         {"inputTrimLevel", "stereoTrimLevel"},
         {{"inputTrim", "inputTrimLevel"}, {"stereoTrim", "stereoTrimLevel"}}},
        {"trims", "trim", "output", "step", {}, {"level"}, {{"step", "level"}}},
    };
    return list;
}

const QMap<QString, QString>& fieldWords()
{
    static const QMap<QString, QString> map{
        {"unitConfig", "unit config"},    {"portAConfig", "port A config"},
        {"portBConfig", "port B config"}, {"dimAndOther", "dim + other"},
        {"lrExtra", "L&R extra"},         {"imax", "IMAX"},
        {"endAction", "end action"},      {"endDestination", "end destination"},
        {"inputType", "input type"},      {"stereoPair", "stereo pair"},
        {"subSource", "sub source"},      {"subGain", "sub gain"},
        {"inputMask", "input mask"},      {"outputMask1", "output mask 1"},
        {"outputMask2", "output mask 2"}, {"inputTrim", "input trim"},
        {"stereoTrim", "stereo trim"}};
    return map;
}

QString fieldLabel(const QString& key)
{
    return fieldWords().value(key, key);
}

QString valueText(const QString& key, const QJsonValue& v)
{
    if (v.isBool())
        return v.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    if (v.isDouble())
        return QString::number(v.toInteger());
    if (v.isNull())
        return QStringLiteral("(unnamed bytes)");
    return key == QLatin1String("name") ? QLatin1Char('"') + v.toString() + QLatin1Char('"')
                                        : v.toString();
}

QString told(const Section& s, const QJsonObject& o, const QString& key)
{
    QString text = valueText(key, o.value(key));
    if (s.wordsOf.contains(key))
        text += QStringLiteral(" (%1)").arg(o.value(s.wordsOf[key]).toString());
    return text;
}

void compareEntry(const Section& s, const QJsonObject& a, const QJsonObject& b,
                  QList<Difference>& out)
{
    const QJsonValue id = a.value(QLatin1String(s.name));
    const QString entry = QStringLiteral("%1 %2").arg(QLatin1String(s.label), valueText({}, id));
    const QString principal = QLatin1String(s.principal);
    const bool principalSame = principal.isEmpty() || a.value(principal) == b.value(principal);
    const QString section = QLatin1String(s.key);
    if (!principalSame) {
        const QString from = told(s, a, principal), to = told(s, b, principal);
        out << Difference{section, id, principal, from, to,
                          QStringLiteral("%1: %2 -> %3").arg(entry, from, to)};
    }
    for (auto it = a.begin(); it != a.end(); ++it) {
        const QString key = it.key();
        if (key == principal || key == QLatin1String(s.name) || s.repeats.contains(key) ||
            (s.whenSame.contains(key) && !principalSame) || it.value() == b.value(key))
            continue;
        const QString from = told(s, a, key), to = told(s, b, key);
        out << Difference{section, id, key, from, to,
                          QStringLiteral("%1 %2: %3 -> %4").arg(entry, fieldLabel(key), from, to)};
    }
}

QMap<int, int> unnamedBytes(const QJsonObject& doc)
{
    QMap<int, int> bytes;
    for (const QJsonValue& run : doc.value("unnamedBytes").toArray()) {
        const int offset = run[QLatin1String("offset")].toInt();
        const QStringList pairs = run[QLatin1String("bytes")].toString().split(QLatin1Char(' '));
        for (qsizetype i = 0; i < pairs.size(); ++i)
            bytes.insert(offset + int(i), pairs[i].toInt(nullptr, 16));
    }
    return bytes;
}

QString byteText(const QMap<int, int>& bytes, int at)
{
    return bytes.contains(at)
               ? QStringLiteral("%1").arg(bytes[at], 2, 16, QLatin1Char('0')).toUpper()
               : QStringLiteral("(named)");
}

} // namespace

QList<Difference> differenceRecords(const QJsonObject& a, const QJsonObject& b)
{
    QList<Difference> out;
    for (const Section& s : sections()) {
        const QJsonArray ea = a.value(QLatin1String(s.key)).toArray();
        const QJsonArray eb = b.value(QLatin1String(s.key)).toArray();
        for (qsizetype i = 0; i < ea.size() && i < eb.size(); ++i)
            compareEntry(s, ea[i].toObject(), eb[i].toObject(), out);
    }
    for (const char* key : {"unitConfig", "portAConfig", "portBConfig", "dimAndOther"}) {
        const QString k = QLatin1String(key);
        if (!a.contains(k) || a.value(k) == b.value(k))
            continue;
        const QString from = a.value(k).toString(), to = b.value(k).toString();
        out << Difference{k, QJsonValue::Null, k, from, to,
                          QStringLiteral("%1: %2 -> %3").arg(fieldLabel(k), from, to)};
    }
    const QMap<int, int> ua = unnamedBytes(a);
    const QMap<int, int> ub = unnamedBytes(b);
    QList<int> offsets = ua.keys() + ub.keys();
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    for (int at : offsets) {
        if (ua.value(at, -1) == ub.value(at, -1))
            continue;
        const QString from = byteText(ua, at), to = byteText(ub, at);
        out << Difference{QStringLiteral("unnamedBytes"), at, QStringLiteral("byte"), from, to,
                          QStringLiteral("byte %1: %2 -> %3").arg(at).arg(from, to)};
    }
    return out;
}

QStringList differences(const QJsonObject& a, const QJsonObject& b)
{
    QStringList lines;
    for (const Difference& d : differenceRecords(a, b))
        lines << d.text;
    return lines;
}

} // namespace zeltra::layoutdoc
