#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// A text settings file of [sections] and key=value lines, with the platform INI rules:
// section and key names compare without regard to case; names are otherwise kept exactly
// as written ("<FORM>main_FLeft", "USER\<FACTORY DEFAULT>"). Lines that are neither a
// section, nor key=value, nor a comment are kept as they stand and otherwise ignored, so
// a hand-edited file survives being rewritten.
//
// Every line the program does not change is written back as the bytes it was read from, with
// its own line break (CR CR LF, a missing final break and stray bytes included); setting a key
// to the value it already has is no change. A file that is not UTF-8 is read as Latin-1 and
// changed lines are written in Latin-1 as long as their text fits; a value that does not fit
// turns the whole file into UTF-8, the other lines' characters unchanged.
//
// The file is read in one pass that notes each line and each block of a section (a header and
// the lines up to the next), with no text made for either; a section's name is matched, and
// its keys indexed, when it is first asked for. A lookup or a change then costs the same in a
// large file as in a small one, also in one of many small sections, and a line's text is
// decoded when asked for.
class IniFile {
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;

    enum class Load { Loaded, Missing, Failed };

    explicit IniFile(QString path = {});
    const QString& path() const { return path_; }
    QString errorString() const { return error_; }

    // Reads the whole file. Missing: an empty document. Failed: unreadable, not a regular
    // file or larger than MaxBytes; the document is then empty too.
    Load load();
    // Writes the document atomically when it changed since it was read or last written and its
    // bytes differ from the file's; false (and errorString()) when that failed. A document that has
    // grown past MaxBytes is not written, so the program never leaves a file it would refuse to
    // read.
    bool save();
    // The bytes save() writes.
    QByteArray bytes() const;

    void parse(const QString& text);
    QString text() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // False (nothing changed) for names that cannot be written back as one line.
    bool setValue(const QString& section, const QString& key, const QString& value);
    bool hasSection(const QString& section) const;
    // The section's key=value lines as written, in file order.
    QStringList entries(const QString& section) const;
    // Puts one "key=value" line into `section`: split at its first "=", written unchanged.
    bool putEntry(const QString& section, const QString& line);

private:
    enum class Kind : std::uint8_t { Other, Header, Key };
    // One line, small, as a large file has many. An unchanged line is its bytes in data_
    // (before the line break, less the CR of a CR LF); a changed line has its text in texts_
    // until it is written.
    struct Line {
        std::uint32_t from = 0; // a document is at most MaxBytes
        int size = 0;
        int block = 0;   // index into blocks_ (for a header: its own)
        int text = -1;   // index into texts_ for a changed line
        Kind kind = Kind::Other;
        bool cr : 1 = false;     // the break was CR LF
        bool broken : 1 = true;  // there was a break (the last line may lack one)
        bool changed : 1 = true; // no bytes until written
        bool latin1 : 1 = false; // the bytes are Latin-1 rather than UTF-8
        bool ascii : 1 = false;  // the bytes are plain ASCII
    };
    // A header and the lines after it, up to the next header.
    struct Block {
        qsizetype header = -1;  // its header's line; -1 for the lines before any header
        std::uint32_t hash = 0; // of its case-folded name
        int section = -1;       // index into sections_, once its name was asked for
    };
    struct Section {
        int firstBlock = 0;
        bool indexed = false; // its keys are in `keys`
        QHash<QString, qsizetype> keys; // case-folded key -> its first line's place in keyLines_
    };
    // Where a line's bytes went in a written document, and how they read back.
    struct Written {
        qsizetype from = 0;
        qsizetype size = 0;
        bool latin1 = false;
        bool ascii = false;
    };

    static Kind classify(const QString& text, QString& name);
    static Kind classifyAscii(QByteArrayView raw, QString& name, bool wantName);
    static std::uint32_t nameHash(QStringView folded);
    static std::pair<QString, bool> decodeLine(QByteArrayView raw);
    static bool validName(const QString& name);

    void clear();
    void parseBytes(QByteArray data);
    QByteArray render(std::vector<Written>* written) const;
    void commit(QByteArray data, const std::vector<Written>& written);
    QByteArrayView rawOf(const Line& line) const;
    QString textOf(const Line& line) const;
    QString keyOf(const Line& line) const;
    int sectionId(const QString& name) const;
    QString headerName(const Block& block) const;
    const Section& sectionOf(int id) const { return sections_[std::size_t(id)]; }
    qsizetype headerOf(int id) const { return blocks_[std::size_t(sectionOf(id).firstBlock)].header; }
    bool inSection(const Line& line, int id) const { return blocks_[std::size_t(line.block)].section == id; }
    void enterHeader(qsizetype at, const QString& name);
    void enterKey(Section& section, const QString& key, qsizetype at) const;
    const Section& indexed(int id) const;
    void insertLine(qsizetype at, Line line, const QString& name);
    Line changedLine(const QString& text, int block, QString& name);
    qsizetype findKey(const QString& section, const QString& key) const;
    qsizetype endOfSection(const QString& section) const;

    QString path_;
    QString error_;
    QByteArray data_; // the file as read or last written
    std::vector<Line> lines_;
    std::vector<QString> texts_;              // of the changed lines
    mutable std::vector<Block> blocks_;       // [0]: the lines before any header
    mutable std::vector<Section> sections_;   // [0]: the lines before any header
    mutable QHash<QString, int> sectionIds_;  // case-folded name -> index into sections_
    mutable std::vector<qsizetype> keyLines_; // the line of each indexed key, moved on an insert
    bool crlf_ = false; // the file's first line ended in CR LF: new lines do too
    bool dirty_ = true; // the document may differ from the file
};
