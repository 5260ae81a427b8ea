#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// A text settings file of [sections] and key=value lines, with the platform INI rules:
// section and key names compare without regard to case; names are otherwise kept exactly
// as written ("<FORM>main_FLeft", "USER\<FACTORY DEFAULT>"). Lines that are neither a
// section, nor key=value, nor a comment are kept as they stand and otherwise ignored, so
// a hand-edited file survives being rewritten.
//
// Every line the program does not change is written back as the bytes it was read from, with
// its own line break (CR CR LF, a missing final break and stray bytes included). A file that
// is not UTF-8 is read as Latin-1 and changed lines are written in Latin-1 as long as their
// text fits; a value that does not fit turns the whole file into UTF-8, the other lines'
// characters unchanged.
class IniFile {
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;

    enum class Load { Loaded, Missing, Failed };

    explicit IniFile(QString path = {}) : path_(std::move(path)) {}
    const QString& path() const { return path_; }
    QString errorString() const { return error_; }

    // Reads the whole file. Missing: an empty document. Failed: unreadable, not a regular
    // file or larger than MaxBytes; the document is then empty too.
    Load load();
    // Writes the document atomically when its bytes differ from the file's; false (and
    // errorString()) when that failed. A document that has grown past MaxBytes is not
    // written, so the program never leaves a file it would refuse to read.
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
    struct Line {
        QString text;
        QString section; // the section it belongs to (for a header: its own name)
        bool header = false;
        QString key;     // set for key=value lines only
        // How the line was read: its bytes before the line break (less the CR of a CR LF),
        // whether the break was CR LF, whether there was a break at all (the last line may
        // lack one) and whether the bytes were Latin-1 rather than UTF-8. A changed line has
        // no bytes until it is written.
        QByteArray raw;
        bool cr = false;
        bool broken = true;
        bool changed = true;
        bool latin1 = false;
    };
    static Line classify(const QString& text, const QString& section);
    void parseBytes(const QByteArray& data);
    Line changedLine(const QString& text, const QString& section, bool cr) const;
    qsizetype findKey(const QString& section, const QString& key) const;
    qsizetype endOfSection(const QString& section) const;
    static bool validName(const QString& name);

    QString path_;
    QString error_;
    std::vector<Line> lines_;
    bool crlf_ = false; // the file's first line ended in CR LF: new lines do too
};
