#pragma once
#include "model/LayoutWords.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <vector>

// Reading a layout document field by field: each value is checked for its type and range, and
// a fault names its place ("keys[4].code") and the problem in one line, thrown as a Fault.
namespace zeltra::layoutdoc {

struct Fault {
    QString line;
};

[[noreturn]] void fail(const QString& place, const QString& problem);
// A value as it stands in the document, cut short when long.
QString shown(const QJsonValue& v);
// "keys[4]"
QString item(const QString& section, qsizetype i);

// A field that only repeats what other fields say, to be compared once the image is built.
struct Claim {
    QString place;
    QString section;
    int item;
    QString key;
    QJsonValue value;
};

// One object of the document: its place, and the fields it must and may have.
class Fields {
  public:
    Fields(const QJsonValue& v, QString place, QStringList required, QStringList repeats = {})
        : place_(std::move(place)), repeats_(std::move(repeats))
    {
        if (!v.isObject())
            fail(where(), shown(v) + QStringLiteral(" is not an object"));
        o_ = v.toObject();
        for (auto it = o_.begin(); it != o_.end(); ++it)
            if (!required.contains(it.key()) && !repeats_.contains(it.key()))
                fail(at(it.key()), QStringLiteral("unknown field"));
        for (const QString& key : required)
            if (!o_.contains(key))
                fail(at(key), QStringLiteral("missing"));
    }
    QString at(const QString& key) const
    {
        return place_.isEmpty() ? key : place_ + QLatin1Char('.') + key;
    }
    QJsonValue value(const QString& key) const { return o_.value(key); }

    int integer(const QString& key, int low, int high) const
    {
        const QJsonValue v = value(key);
        const double d = v.toDouble();
        if (!v.isDouble())
            fail(at(key), shown(v) + QStringLiteral(" is not a number"));
        // The range first: a double far out of it has no integer to compare with.
        if (!(d >= low && d <= high))
            fail(at(key),
                 low == 0 && high == 255
                     ? shown(v) + QStringLiteral(" is not a byte")
                     : QStringLiteral("%1 is not in %2..%3").arg(shown(v)).arg(low).arg(high));
        if (d != std::trunc(d))
            fail(at(key), shown(v) + QStringLiteral(" is not a whole number"));
        return int(d);
    }
    QString text(const QString& key) const
    {
        const QJsonValue v = value(key);
        if (!v.isString())
            fail(at(key), shown(v) + QStringLiteral(" is not text"));
        return v.toString();
    }
    bool flag(const QString& key) const
    {
        const QJsonValue v = value(key);
        if (!v.isBool())
            fail(at(key), shown(v) + QStringLiteral(" is not true or false"));
        return v.toBool();
    }
    int pick(const QString& key, const QStringList& items, int maximum = -1) const
    {
        const auto i = words::choiceIndex(items, text(key), maximum);
        if (!i)
            fail(at(key),
                 QStringLiteral("%1 is not one of %2%3")
                     .arg(shown(value(key)), items.join(QStringLiteral(", ")),
                          maximum >= 0 ? QStringLiteral(" or 0..%1").arg(maximum) : QString()));
        return *i;
    }
    QByteArray hex(const QString& key, qsizetype count, qsizetype most = 0) const;
    QByteArray timecode(const QString& key) const;
    QJsonArray list(const QString& key, qsizetype count) const
    {
        const QJsonValue v = value(key);
        if (!v.isArray())
            fail(at(key), shown(v) + QStringLiteral(" is not a list"));
        if (count >= 0 && v.toArray().size() != count)
            fail(at(key),
                 QStringLiteral("%1 entries, %2 expected").arg(v.toArray().size()).arg(count));
        return v.toArray();
    }
    // The fields that repeat others, as the document has them.
    void claims(std::vector<Claim>& out, const QString& section, int item) const
    {
        for (const QString& key : repeats_)
            if (o_.contains(key))
                out.push_back({at(key), section, item, key, o_.value(key)});
    }

  private:
    QString where() const { return place_.isEmpty() ? QStringLiteral("document") : place_; }
    QString place_;
    QStringList repeats_;
    QJsonObject o_;
};

} // namespace zeltra::layoutdoc
