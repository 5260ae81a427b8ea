#include "kit/IniFile.h"

#include "model/SafeFile.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace {
bool isAscii(QByteArrayView raw)
{
    return QtPrivate::isAscii(QLatin1StringView(raw));
}
bool isAscii(const QString& text)
{
    return QtPrivate::isAscii(QStringView(text));
}

bool fitsLatin1(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// Names compare case-folded; an ASCII name (nearly every one) is folded without the Unicode
// tables, which would otherwise be most of the cost of indexing a large file.
QString folded(QString name)
{
    if (!isAscii(name))
        return std::move(name).toCaseFolded();
    for (QChar& c : name)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return name;
}

bool isComment(const QString& trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
           trimmed.startsWith(QLatin1Char('#'));
}

bool isComment(QByteArrayView trimmed)
{
    return trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#');
}

// The name between the brackets of a trimmed header line: "[ Name ]" -> "Name".
QByteArrayView bracketName(QByteArrayView header)
{
    const qsizetype close = header.indexOf(']');
    return header.sliced(1, close < 0 ? header.size() - 1 : close - 1).trimmed();
}

// FNV-1a over the name's case-folded characters; an ASCII name's bytes give the same.
constexpr std::uint32_t FnvBasis = 2166136261u;
constexpr std::uint32_t FnvPrime = 16777619u;
std::uint32_t asciiNameHash(QByteArrayView name)
{
    std::uint32_t h = FnvBasis;
    for (const char c : name)
        h = (h ^ std::uint8_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c)) * FnvPrime;
    return h;
}

// The value of a key=value line as value() gives it.
QString valueOf(const QString& text)
{
    const QString t = text.trimmed();
    return t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed();
}
} // namespace

IniFile::IniFile(QString path) : path_(std::move(path))
{
    clear();
}

void IniFile::clear()
{
    data_.clear();
    lines_.clear();
    texts_.clear();
    blocks_.clear();
    sections_.clear();
    sectionIds_.clear();
    keyLines_.clear();
    blocks_.push_back(Block{-1, 0, 0}); // the lines before any header
    sections_.push_back(Section{});
    sectionIds_.insert(QString(), 0);
    crlf_ = false;
    dirty_ = true;
}

IniFile::Load IniFile::load()
{
    clear();
    error_.clear();
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink())
        return Load::Missing;
    auto file = zeltra::safefile::readHead(path_, MaxBytes + 1);
    if (!file.ok()) {
        error_ = file.error;
        return Load::Failed;
    }
    if (file.data.size() > MaxBytes) {
        error_ = QStringLiteral("The file is larger than %1 bytes.").arg(MaxBytes);
        return Load::Failed;
    }
    parseBytes(std::move(file.data));
    dirty_ = false;
    return Load::Loaded;
}

// The line's text, and whether it had to be read as Latin-1 because it is not UTF-8.
std::pair<QString, bool> IniFile::decodeLine(QByteArrayView raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return {text, false};
    return {QString::fromLatin1(raw), true};
}

IniFile::Kind IniFile::classify(const QString& text, QString& name)
{
    QString t = text.trimmed();
    if (t.startsWith(QChar(0xFEFF))) // a byte order mark before the first line
        t = t.mid(1).trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        name = t.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return Kind::Header;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (isComment(t) || eq <= 0)
        return Kind::Other;
    name = t.left(eq).trimmed();
    return Kind::Key;
}

// The same rules on the bytes of a plain ASCII line, which reads the same as UTF-8 or Latin-1
// and has the same blanks as its text: most lines, read without being decoded. A name is only
// made when asked for.
IniFile::Kind IniFile::classifyAscii(QByteArrayView raw, QString& name, bool wantName)
{
    const QByteArrayView t = raw.trimmed();
    if (t.startsWith('[')) {
        if (wantName)
            name = QString::fromLatin1(bracketName(t));
        return Kind::Header;
    }
    const qsizetype eq = t.indexOf('=');
    if (isComment(t) || eq <= 0)
        return Kind::Other;
    if (wantName)
        name = QString::fromLatin1(t.first(eq).trimmed());
    return Kind::Key;
}

std::uint32_t IniFile::nameHash(QStringView folded)
{
    std::uint32_t h = FnvBasis;
    for (const QChar c : folded)
        h = (h ^ c.unicode()) * FnvPrime;
    return h;
}

QByteArrayView IniFile::rawOf(const Line& line) const
{
    return QByteArrayView(data_.constData() + line.from, line.size);
}

QString IniFile::textOf(const Line& line) const
{
    if (line.changed)
        return texts_[std::size_t(line.text)];
    if (line.ascii || line.latin1)
        return QString::fromLatin1(rawOf(line));
    return decodeLine(rawOf(line)).first;
}

QString IniFile::keyOf(const Line& line) const
{
    QString name;
    if (!line.changed && line.ascii)
        classifyAscii(rawOf(line), name, true);
    else
        classify(textOf(line), name);
    return name;
}

// Reads the lines and the blocks they stand in, making no text: a file of many sections costs
// one quick pass and the sections the program asks for.
void IniFile::parseBytes(QByteArray data)
{
    clear();
    data_ = std::move(data);
    const bool asciiFile = isAscii(QByteArrayView(data_));
    // Room for the lines of most files, without counting them first; room never used costs
    // no memory.
    lines_.reserve(std::size_t(data_.size() / 16 + 1));
    int block = 0;
    qsizetype from = 0;
    QString name;
    while (from < data_.size()) {
        const qsizetype nl = data_.indexOf('\n', from);
        Line line;
        line.broken = nl >= 0;
        const qsizetype end = line.broken ? nl : data_.size();
        line.cr = line.broken && end > from && data_[end - 1] == '\r';
        line.from = std::uint32_t(from);
        line.size = int(end - from - (line.cr ? 1 : 0));
        line.changed = false;
        line.ascii = asciiFile || isAscii(rawOf(line));
        std::uint32_t hash = 0;
        if (line.ascii) {
            line.kind = classifyAscii(rawOf(line), name, false);
            if (line.kind == Kind::Header)
                hash = asciiNameHash(bracketName(rawOf(line).trimmed()));
        } else {
            const auto [text, latin1] = decodeLine(rawOf(line));
            line.latin1 = latin1;
            line.kind = classify(text, name);
            if (line.kind == Kind::Header)
                hash = nameHash(folded(name));
        }
        if (line.kind == Kind::Header) {
            blocks_.push_back(Block{qsizetype(lines_.size()), hash, -1});
            block = int(blocks_.size() - 1);
        }
        line.block = block;
        if (lines_.empty())
            crlf_ = line.cr;
        lines_.push_back(std::move(line));
        from = end + 1;
    }
}

QString IniFile::headerName(const Block& block) const
{
    const Line& header = lines_[std::size_t(block.header)];
    QString name;
    if (!header.changed && header.ascii)
        classifyAscii(rawOf(header), name, true);
    else
        classify(textOf(header), name);
    return name;
}

// The section of `name`, its blocks found by their names' hashes when it is first asked for;
// -1 when no header names it (remembered too, until a header for it is put in).
int IniFile::sectionId(const QString& name) const
{
    const QString key = folded(name);
    if (const auto known = sectionIds_.constFind(key); known != sectionIds_.cend())
        return *known;
    const std::uint32_t hash = nameHash(key);
    int id = -1;
    for (std::size_t b = 1; b < blocks_.size(); ++b) {
        Block& block = blocks_[b];
        if (block.section >= 0 || block.hash != hash || folded(headerName(block)) != key)
            continue;
        if (id < 0) {
            sections_.push_back(Section{int(b), false, {}});
            id = int(sections_.size() - 1);
        }
        block.section = id;
    }
    sectionIds_.insert(key, id);
    return id;
}

// The header put in at `at` starts a block, of a section new or known.
void IniFile::enterHeader(qsizetype at, const QString& name)
{
    const QString key = folded(name);
    if (sectionIds_.value(key) < 0)
        sectionIds_.remove(key); // no more without a header
    blocks_.push_back(Block{at, nameHash(key), -1});
    lines_[std::size_t(at)].block = int(blocks_.size() - 1);
    const int id = sectionId(name);
    blocks_.back().section = id;
}

void IniFile::enterKey(Section& section, const QString& key, qsizetype at) const
{
    QString name = folded(key);
    if (section.keys.contains(name)) // the first of two wins
        return;
    section.keys.insert(std::move(name), qsizetype(keyLines_.size()));
    keyLines_.push_back(at);
}

const IniFile::Section& IniFile::indexed(int id) const
{
    Section& s = sections_[std::size_t(id)];
    if (s.indexed)
        return s;
    s.indexed = true;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Key && inSection(lines_[i], id))
            enterKey(s, keyOf(lines_[i]), qsizetype(i));
    return s;
}

QByteArray IniFile::render(std::vector<Written>* written) const
{
    // One changed line that Latin-1 cannot hold makes the whole file UTF-8.
    const bool latin1File =
        std::any_of(lines_.begin(), lines_.end(), [](const Line& l) { return l.latin1; });
    const bool toUtf8 =
        latin1File && std::any_of(lines_.begin(), lines_.end(), [this](const Line& l) {
            return l.changed && !fitsLatin1(texts_[std::size_t(l.text)]);
        });
    QByteArray out(data_.size() + 256, Qt::Uninitialized);
    qsizetype size = 0;
    auto put = [&](QByteArrayView bytes) {
        if (size + bytes.size() > out.size())
            out.resize(std::max(2 * out.size(), size + bytes.size()));
        std::copy(bytes.begin(), bytes.end(), out.data() + size);
        size += bytes.size();
    };
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        Written w{size, 0, l.latin1, l.ascii};
        if (!l.changed && !(toUtf8 && l.latin1)) {
            put(rawOf(l));
        } else {
            const QString text = textOf(l);
            w.ascii = isAscii(text);
            w.latin1 = latin1File && !toUtf8 && !w.ascii;
            put(w.latin1 ? text.toLatin1() : text.toUtf8());
        }
        w.size = size - w.from;
        if (written)
            written->push_back(w);
        if (l.broken || i + 1 < lines_.size())
            put(l.cr ? QByteArrayView("\r\n") : QByteArrayView("\n"));
    }
    out.truncate(size);
    return out;
}

QByteArray IniFile::bytes() const
{
    return render(nullptr);
}

// The document is now what the file holds: every line is its written bytes.
void IniFile::commit(QByteArray data, const std::vector<Written>& written)
{
    data_ = std::move(data);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        Line& l = lines_[i];
        l.from = std::uint32_t(written[i].from);
        l.size = written[i].size;
        l.latin1 = written[i].latin1;
        l.ascii = written[i].ascii;
        l.text = -1;
        l.changed = false;
        l.broken = l.broken || i + 1 < lines_.size();
    }
    texts_.clear();
}

bool IniFile::save()
{
    if (!dirty_)
        return true;
    std::vector<Written> written;
    written.reserve(lines_.size());
    QByteArray data = render(&written);
    if (data.size() > MaxBytes) {
        error_ =
            QStringLiteral("The settings would grow past %1 bytes, more than the program reads "
                           "back, so they were not written.")
                .arg(MaxBytes);
        return false;
    }
    error_ = zeltra::safefile::writeIfChanged(path_, data);
    if (!error_.isEmpty())
        return false;
    commit(std::move(data), written);
    dirty_ = false;
    return true;
}

void IniFile::parse(const QString& text)
{
    parseBytes(text.toUtf8());
}

QString IniFile::text() const
{
    QString out;
    for (const Line& l : lines_)
        out += textOf(l) + QLatin1Char('\n');
    return out;
}

qsizetype IniFile::findKey(const QString& section, const QString& key) const
{
    const int id = sectionId(section);
    const qsizetype slot = id < 0 ? -1 : indexed(id).keys.value(folded(key), -1);
    return slot < 0 ? -1 : keyLines_[std::size_t(slot)];
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const qsizetype i = findKey(section, key.trimmed());
    if (i < 0)
        return std::nullopt;
    return valueOf(textOf(lines_[std::size_t(i)]));
}

bool IniFile::hasSection(const QString& section) const
{
    const int id = sectionId(section);
    return id >= 0 && headerOf(id) >= 0;
}

QStringList IniFile::entries(const QString& section) const
{
    QStringList out;
    const int id = sectionId(section);
    if (id < 0)
        return out;
    for (const Line& l : lines_)
        if (l.kind == Kind::Key && inSection(l, id))
            out.append(textOf(l).trimmed());
    return out;
}

bool IniFile::validName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('\n')) &&
           !name.contains(QLatin1Char('\r'));
}

// Index after the last line of the section's first block; -1 when there is no such section.
qsizetype IniFile::endOfSection(const QString& section) const
{
    const int id = sectionId(section);
    if (id < 0 || headerOf(id) < 0)
        return -1;
    const std::size_t header = std::size_t(headerOf(id));
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::Header)
        ++end;
    while (end > header + 1 && textOf(lines_[end - 1]).trimmed().isEmpty())
        --end; // keep a blank line between sections
    return qsizetype(end);
}

IniFile::Line IniFile::changedLine(const QString& text, int block, QString& name)
{
    Line line;
    line.text = int(texts_.size());
    texts_.push_back(text);
    line.block = block;
    line.kind = classify(text, name);
    line.cr = crlf_;
    return line;
}

// Puts a new line at `at`: the lines after it move down one, in the index too.
void IniFile::insertLine(qsizetype at, Line line, const QString& name)
{
    for (Block& b : blocks_)
        if (b.header >= at)
            ++b.header;
    for (qsizetype& i : keyLines_)
        if (i >= at)
            ++i;
    lines_.insert(lines_.begin() + at, std::move(line));
    Line& entered = lines_[std::size_t(at)];
    if (entered.kind == Kind::Header)
        enterHeader(at, name);
    else if (const int id = blocks_[std::size_t(entered.block)].section;
             entered.kind == Kind::Key && id >= 0 && sections_[std::size_t(id)].indexed)
        enterKey(sections_[std::size_t(id)], name, at);
}

bool IniFile::putEntry(const QString& section, const QString& line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || !validName(section) || section.contains(QLatin1Char(']')) ||
        line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
        return false;
    QString key;
    if (classify(line, key) != Kind::Key)
        return false;
    const qsizetype existing = findKey(section, key);
    if (existing >= 0 && valueOf(textOf(lines_[std::size_t(existing)])) == valueOf(line))
        return true; // the same value keeps its bytes
    Line entry = changedLine(line, 0, key);
    if (existing >= 0) {
        Line& old = lines_[std::size_t(existing)];
        entry.block = old.block;
        entry.cr = old.cr;
        entry.broken = old.broken;
        old = std::move(entry);
        dirty_ = true;
        return true;
    }
    qsizetype at = endOfSection(section);
    if (at < 0) {
        QString header;
        if (!lines_.empty() && !textOf(lines_.back()).trimmed().isEmpty())
            insertLine(qsizetype(lines_.size()),
                       changedLine(QString(), lines_.back().block, header), header);
        insertLine(qsizetype(lines_.size()),
                   changedLine(QLatin1Char('[') + section + QLatin1Char(']'), 0, header), header);
        at = qsizetype(lines_.size());
    }
    entry.block = lines_[std::size_t(at - 1)].block; // the header's, or a line of its block
    insertLine(at, std::move(entry), key);
    dirty_ = true;
    return true;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    if (!validName(key) || key.contains(QLatin1Char('=')) ||
        key.trimmed().startsWith(QLatin1Char('[')) || isComment(key.trimmed()) ||
        value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;
    return putEntry(section, key + QLatin1Char('=') + value);
}
