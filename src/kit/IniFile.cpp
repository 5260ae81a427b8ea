#include "kit/IniFile.h"

#include "model/SafeFile.h"

#include <QFileInfo>
#include <QStringDecoder>

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
    latin1_ = crlf_ = false;
    if (!QFileInfo::exists(path_))
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
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(file.data);
    latin1_ = utf8.hasError();
    if (latin1_)
        text = QString::fromLatin1(file.data);
    parse(text);
    crlf_ = file.data.contains("\r\n");
    return Load::Loaded;
}

bool IniFile::save()
{
    QString t = text();
    if (crlf_)
        t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    error_ = zeltra::safefile::writeAtomic(path_, latin1_ ? t.toLatin1() : t.toUtf8());
    return error_.isEmpty();
}

IniFile::Line IniFile::classify(const QString& text, const QString& section)
{
    Line line{text, section, false, {}};
    const QString t = text.trimmed();
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

void IniFile::parse(const QString& text)
{
    lines_.clear();
    QString section;
    const QStringList raw = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QString t = raw[i];
        if (t.endsWith(QLatin1Char('\r')))
            t.chop(1);
        if (i == raw.size() - 1 && t.isEmpty())
            break; // the final line break
        Line line = classify(t, section);
        section = line.section;
        lines_.push_back(std::move(line));
    }
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
    Line entry = classify(line, section);
    if (entry.header || entry.key.isEmpty())
        return false;
    const qsizetype existing = findKey(section, entry.key);
    if (existing >= 0) {
        lines_[std::size_t(existing)] = std::move(entry);
        return true;
    }
    qsizetype at = endOfSection(section);
    if (at < 0) {
        if (!lines_.empty() && !lines_.back().text.trimmed().isEmpty())
            lines_.push_back(Line{QString(), lines_.back().section, false, {}});
        lines_.push_back(Line{QLatin1Char('[') + section + QLatin1Char(']'), section, true, {}});
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
