#include "kit/IniFile.h"

#include "model/SafeFile.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace {
bool same(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool isComment(const QString& trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}
} // namespace

IniFile::Load IniFile::load()
{
    lines_.clear();
    error_.clear();
    crlf_ = false;
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink())
        return Load::Missing;
    const auto file = zeltra::safefile::readHead(path_, MaxBytes + 1);
    if (!file.ok()) {
        error_ = file.error;
        return Load::Failed;
    }
    if (file.data.size() > MaxBytes) {
        error_ = QStringLiteral("The file is larger than %1 bytes.").arg(MaxBytes);
        return Load::Failed;
    }
    parseBytes(file.data);
    return Load::Loaded;
}

namespace {
bool fitsLatin1(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// The line's text, and whether it had to be read as Latin-1 because it is not UTF-8.
std::pair<QString, bool> decodeLine(const QByteArray& raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return {text, false};
    return {QString::fromLatin1(raw), true};
}
} // namespace

void IniFile::parseBytes(const QByteArray& data)
{
    lines_.clear();
    QString section;
    qsizetype from = 0;
    while (from < data.size()) {
        const qsizetype nl = data.indexOf('\n', from);
        QByteArray raw = data.mid(from, nl < 0 ? -1 : nl - from);
        const bool broken = nl >= 0;
        const bool cr = broken && raw.endsWith('\r');
        if (cr)
            raw.chop(1);
        auto [text, latin1] = decodeLine(raw);
        Line line = classify(text, section);
        section = line.section;
        line.raw = std::move(raw);
        line.cr = cr;
        line.broken = broken;
        line.changed = false;
        line.latin1 = latin1;
        if (lines_.empty())
            crlf_ = cr;
        lines_.push_back(std::move(line));
        from = broken ? nl + 1 : data.size();
    }
}

QByteArray IniFile::bytes() const
{
    // One changed line that Latin-1 cannot hold makes the whole file UTF-8.
    const bool latin1File = std::any_of(lines_.begin(), lines_.end(), [](const Line& l) { return l.latin1; });
    const bool toUtf8 = latin1File && std::any_of(lines_.begin(), lines_.end(), [](const Line& l) {
                            return l.changed && !fitsLatin1(l.text);
                        });
    QByteArray out;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (!l.changed && !(toUtf8 && l.latin1))
            out += l.raw;
        else if (latin1File && !toUtf8)
            out += l.text.toLatin1();
        else
            out += l.text.toUtf8();
        if (l.broken || i + 1 < lines_.size())
            out += l.cr ? "\r\n" : "\n";
    }
    return out;
}

bool IniFile::save()
{
    const QByteArray data = bytes();
    if (data.size() > MaxBytes) {
        error_ = QStringLiteral("The settings would grow past %1 bytes, more than the program reads "
                                "back, so they were not written.")
                     .arg(MaxBytes);
        return false;
    }
    error_ = zeltra::safefile::writeIfChanged(path_, data);
    if (!error_.isEmpty())
        return false;
    parseBytes(data); // the document is now what the file holds
    return true;
}

IniFile::Line IniFile::classify(const QString& text, const QString& section)
{
    Line line;
    line.text = text;
    line.section = section;
    QString t = text.trimmed();
    if (t.startsWith(QChar(0xFEFF))) // a byte order mark before the first line
        t = t.mid(1).trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        line.header = true;
        line.section = t.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return line;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (!isComment(t) && eq > 0)
        line.key = t.left(eq).trimmed();
    return line;
}

IniFile::Line IniFile::changedLine(const QString& text, const QString& section, bool cr) const
{
    Line line = classify(text, section);
    line.cr = cr;
    return line;
}

void IniFile::parse(const QString& text)
{
    parseBytes(text.toUtf8());
}

QString IniFile::text() const
{
    QString out;
    for (const Line& l : lines_)
        out += l.text + QLatin1Char('\n');
    return out;
}

qsizetype IniFile::findKey(const QString& section, const QString& key) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (!lines_[i].header && !lines_[i].key.isEmpty() && same(lines_[i].section, section) &&
            same(lines_[i].key, key))
            return qsizetype(i);
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const qsizetype i = findKey(section, key.trimmed());
    if (i < 0)
        return std::nullopt;
    const QString t = lines_[std::size_t(i)].text.trimmed();
    return t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IniFile::hasSection(const QString& section) const
{
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const Line& l) { return l.header && same(l.section, section); });
}

QStringList IniFile::entries(const QString& section) const
{
    QStringList out;
    for (const Line& l : lines_)
        if (!l.header && !l.key.isEmpty() && same(l.section, section))
            out.append(l.text.trimmed());
    return out;
}

bool IniFile::validName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'));
}

// Index after the last line of the section's first block; -1 when there is no such section.
qsizetype IniFile::endOfSection(const QString& section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!lines_[i].header || !same(lines_[i].section, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !lines_[end].header)
            ++end;
        while (end > i + 1 && lines_[end - 1].text.trimmed().isEmpty())
            --end; // keep a blank line between sections
        return qsizetype(end);
    }
    return -1;
}

bool IniFile::putEntry(const QString& section, const QString& line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || !validName(section) || section.contains(QLatin1Char(']')) ||
        line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
        return false;
    Line entry = changedLine(line, section, crlf_);
    if (entry.header || entry.key.isEmpty())
        return false;
    const qsizetype existing = findKey(section, entry.key);
    if (existing >= 0) {
        Line& old = lines_[std::size_t(existing)];
        if (old.text == entry.text)
            return true; // the same bytes stay
        entry.cr = old.cr;
        entry.broken = old.broken;
        old = std::move(entry);
        return true;
    }
    qsizetype at = endOfSection(section);
    if (at < 0) {
        if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty())
            lines_.push_back(changedLine(QString(), lines_.back().section, crlf_));
        lines_.push_back(changedLine(QLatin1Char('[') + section + QLatin1Char(']'), section, crlf_));
        at = qsizetype(lines_.size());
    }
    lines_.insert(lines_.begin() + at, std::move(entry));
    return true;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    if (!validName(key) || key.contains(QLatin1Char('=')) || key.trimmed().startsWith(QLatin1Char('[')) ||
        isComment(key.trimmed()) || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;
    return putEntry(section, key + QLatin1Char('=') + value);
}
