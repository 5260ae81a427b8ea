#include "model/DocumentFields.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <cmath>

namespace zeltra::layoutdoc {

// Keys come from the document too: the line stays one printable line of bounded length.
[[noreturn]] void fail(const QString& place, const QString& problem)
{
    QString line = (place.size() > 80 ? place.left(77) + QStringLiteral("...") : place) +
                   QStringLiteral(": ") + problem;
    for (QChar& c : line)
        if (!c.isPrint())
            c = QLatin1Char('.');
    throw Fault{line};
}

// A value as it stands in the document, cut short when long.
QString shown(const QJsonValue& v)
{
    QString text =
        v.isString()  ? QLatin1Char('"') + v.toString() + QLatin1Char('"')
        : v.isArray() ? QStringLiteral("a list")
        : v.isObject()
            ? QStringLiteral("an object")
            : QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact))
                  .mid(1)
                  .chopped(1);
    for (QChar& c : text)
        if (!c.isPrint())
            c = QLatin1Char('.');
    return text.size() > 40 ? text.left(37) + QStringLiteral("...") : text;
}

namespace {
bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
} // namespace

QByteArray Fields::hex(const QString& key, qsizetype count, qsizetype most) const
{
    const QString t = text(key);
    const QStringList pairs = t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QByteArray out;
    for (const QString& p : pairs) {
        // Two hex digits and nothing else: toInt would also take "+F" and "-0".
        bool ok = p.size() == 2 && isHexDigit(p[0]) && isHexDigit(p[1]);
        const int b = ok ? p.toInt(&ok, 16) : -1;
        if (!ok)
            fail(at(key), QStringLiteral("\"%1\" is not a hex byte")
                              .arg(shown(QJsonValue(p)).mid(1).chopped(1)));
        out += char(b);
    }
    if (count > 0 && out.size() != count)
        fail(at(key), QStringLiteral("%1 bytes, %2 expected").arg(out.size()).arg(count));
    if (count == 0 && (out.isEmpty() || out.size() > most))
        fail(at(key), QStringLiteral("%1 bytes, 1..%2 expected").arg(out.size()).arg(most));
    return out;
}

QByteArray Fields::timecode(const QString& key) const
{
    static const QRegularExpression digits(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d):(\\d\\d)$"));
    static const QRegularExpression hexes(QStringLiteral("^[0-9A-Fa-f]{2}( [0-9A-Fa-f]{2}){3}$"));
    const QString t = text(key);
    if (hexes.match(t).hasMatch())
        return hex(key, 4);
    const auto m = digits.match(t);
    if (!m.hasMatch())
        fail(at(key), shown(value(key)) +
                          QStringLiteral(" is not a timecode (HH:MM:SS:FF or four hex bytes)"));
    QByteArray out;
    for (int i = 1; i <= 4; ++i)
        out += char(m.captured(i).toInt(nullptr, 16)); // "12" read as hex is BCD 0x12
    return out;
}

QString item(const QString& section, qsizetype i)
{
    return QStringLiteral("%1[%2]").arg(section).arg(i);
}

} // namespace zeltra::layoutdoc
