#include "model/DocumentScan.h"

#include "model/DocumentFields.h"

#include <QSet>

namespace zeltra::layoutdoc {
namespace {

// A walk over valid JSON that keeps the place of every value, as the import names places.
// Whatever the text holds, the walk stays inside it and ends.
class Scan {
  public:
    explicit Scan(const QByteArray& text) : p_(text.constData()), end_(p_ + text.size()) {}

    qsizetype members() const { return members_; }

    void document()
    {
        blank();
        value(QString(), 0);
    }

  private:
    static constexpr int MaxDepth = 2048; // beyond Qt's own limit

    static QString where(const QString& place)
    {
        return place.isEmpty() ? QStringLiteral("document") : place;
    }
    static QString member(const QString& place, const QString& key)
    {
        return place.isEmpty() ? key : place + QLatin1Char('.') + key;
    }

    void blank()
    {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r'))
            ++p_;
    }

    void value(const QString& place, int depth)
    {
        if (p_ >= end_ || depth > MaxDepth)
            return;
        if (*p_ == '{')
            object(place, depth);
        else if (*p_ == '[')
            array(place, depth);
        else if (*p_ == '"')
            string(place);
        else
            while (p_ < end_ && !QByteArrayView(",]} \t\n\r").contains(*p_))
                ++p_;
    }

    void object(const QString& place, int depth)
    {
        ++p_; // {
        QSet<QString> keys;
        for (blank(); p_ < end_ && *p_ != '}'; blank()) {
            if (*p_ == ',') {
                ++p_;
                continue;
            }
            const QString key = string(where(place));
            ++members_;
            if (keys.contains(key))
                fail(where(place), QStringLiteral("\"%1\" given twice").arg(key));
            keys.insert(key);
            blank();
            if (p_ < end_ && *p_ == ':')
                ++p_;
            blank();
            value(member(place, key), depth + 1);
        }
        if (p_ < end_)
            ++p_; // }
    }

    void array(const QString& place, int depth)
    {
        ++p_; // [
        qsizetype index = 0;
        for (blank(); p_ < end_ && *p_ != ']'; blank()) {
            if (*p_ == ',') {
                ++p_;
                ++index;
                continue;
            }
            value(item(place, index), depth + 1);
        }
        if (p_ < end_)
            ++p_; // ]
    }

    // The string at p_ (its opening quote), decoded as the reader decodes it.
    QString string(const QString& place)
    {
        ++p_; // "
        QString text;
        const char* run = p_;
        auto flush = [&] { text += QString::fromUtf8(run, p_ - run); };
        while (p_ < end_ && *p_ != '"') {
            const auto c = std::uint8_t(*p_);
            if (c < 0x20)
                fail(where(place), QStringLiteral("a raw control character (%1) inside text; write it as \\u%2")
                                       .arg(c)
                                       .arg(c, 4, 16, QLatin1Char('0')));
            if (c != '\\') {
                ++p_;
                continue;
            }
            flush();
            escape(text);
            run = p_;
        }
        flush();
        if (p_ < end_)
            ++p_; // "
        return text;
    }

    void escape(QString& text)
    {
        ++p_; // backslash
        if (p_ >= end_)
            return;
        const char c = *p_++;
        switch (c) {
        case 'b': text += QChar(0x08); break;
        case 'f': text += QChar(0x0C); break;
        case 'n': text += QChar(0x0A); break;
        case 'r': text += QChar(0x0D); break;
        case 't': text += QChar(0x09); break;
        case 'u': {
            bool ok = false;
            const int n = end_ - p_ >= 4 ? QByteArray(p_, 4).toInt(&ok, 16) : 0;
            if (ok) {
                text += QChar(char16_t(n)); // a surrogate pair comes as two, as the reader reads it
                p_ += 4;
            }
            break;
        }
        default: text += QLatin1Char(c); break; // " \ /
        }
    }

    const char* p_;
    const char* end_;
    qsizetype members_ = 0;
};

} // namespace

QString strictFault(const QByteArray& text, qsizetype* members)
{
    Scan scan(text);
    try {
        scan.document();
    } catch (const Fault& f) {
        return f.line;
    }
    if (members)
        *members = scan.members();
    return {};
}

} // namespace zeltra::layoutdoc
