#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// A text settings file of [sections] and key=value lines, with the platform INI rules:
// section and key names compare without regard to case; names are otherwise kept exactly
// as written ("<FORM>main_FLeft", "USER\<FACTORY DEFAULT>"). Lines that are neither a
// section, nor key=value, nor a comment are kept as they stand and otherwise ignored, so
// a hand-edited file survives being rewritten.
class IniFile {
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;

    enum class Load { Loaded, Missing, Failed };

    explicit IniFile(QString path = {}) : path_(std::move(path)) {}
    const QString& path() const { return path_; }
    QString errorString() const { return error_; }

    // Reads the whole file. Missing: an empty document. Failed: unreadable or larger than
    // MaxBytes; the document is then empty too.
    Load load();
    // Writes the document atomically; false (and errorString()) when that failed.
    bool save();

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
    };
    static Line classify(const QString& text, const QString& section);
    qsizetype findKey(const QString& section, const QString& key) const;
    qsizetype endOfSection(const QString& section) const;
    static bool validName(const QString& name);

    QString path_;
    QString error_;
    std::vector<Line> lines_;
    bool latin1_ = false; // the file was not UTF-8: write it back byte for byte
    bool crlf_ = false;   // the file's lines ended in CR LF
};
