#pragma once
#include "kit/IniFile.h"

#include <functional>

// The program's text settings file ("<program>.ini") and its factory default file
// ("<program>.def"), both beside the program file. The settings file is made from the
// default file on the first start; both carry the program's file name under App/Exe, which
// tells that a file belongs to this program. One object exists per run, from the loading
// of the main window until its close.
class TQvSettingsFile {
public:
    using MessageHook = std::function<void(const QString&)>;

    enum class WindowState { Normal = 1, Minimised = 2, Maximised = 3 };
    struct Placement {
        WindowState state = WindowState::Normal;
        int left = 0, top = 0, width = 0, height = 0;
        bool sizeable = true; // border style sizeable or sizeable tool window
        int fontSize = 0;
        QString fontName;
        bool visible = true;
        bool autoHideTitleBar = false;
    };

    enum class Check { Missing = 0, Ours = 1, Foreign = -1 };

    // `programPath` is the full path of the program file; `webAddress` is where a
    // replacement default file can be had; messages for the user go to `message`.
    TQvSettingsFile(const QString& programPath, const QString& webAddress, MessageHook message);

    // "dir/name.ext" with its extension replaced (or added): "dir/name.ini".
    static QString withExtension(const QString& programPath, const QString& extension);
    QString programName() const { return programName_; }
    QString settingsPath() const { return settings_.path(); }
    QString defaultsPath() const { return defaults_.path(); }
    // Keeps the settings file in `folder` (ending in a separator) instead; before open().
    void setSettingsFolder(const QString& folder);

    // The start-up checks, and the settings file made from the default file when missing.
    // False when the program must end (the default file is missing or foreign); the messages
    // have been given then. A settings file that cannot be read is reported and never
    // written in this run.
    bool open();
    Check check(const IniFile& file, IniFile::Load loaded) const;

    // Writes a window's placement keys under "Current" ("<FORM>" + form name + "_FLeft", ...).
    void savePlacement(const QString& formName, const Placement& p);
    // The main window's close: App/Exe = the program's file name; after this nothing more
    // is written in this run.
    void closeMain();
    bool released() const { return released_; }

    const IniFile& settings() const { return settings_; }

    // A program option kept under "Current" (the link's fast transfer); written at once.
    std::optional<QString> option(const QString& key) const;
    void setOption(const QString& key, const QString& value);
    // A list kept under `section` as `keyOf(0)`, `keyOf(1)`, ... up to `count` keys, in
    // order; the keys after the list are kept empty. Written at once when it changed.
    QStringList list(const QString& section, const std::function<QString(int)>& keyOf,
                     int count) const;
    void setList(const QString& section, const std::function<QString(int)>& keyOf, int count,
                 const QStringList& values);

    static constexpr char AppSection[] = "App";
    static constexpr char ExeKey[] = "Exe";
    static constexpr char CurrentSection[] = "Current";
    static constexpr char CopiedAppSection[] = "APP";
    static constexpr char FactorySection[] = "USER\\<FACTORY DEFAULT>";

private:
    void copySection(const QString& section);
    void write();
    void tell(const QString& text) const;
    QString replacementHint() const;

    QString programName_;
    QString webAddress_;
    MessageHook message_;
    IniFile settings_;
    IniFile defaults_;
    QString lastWriteError_;
    bool released_ = false;
    bool untouchable_ = false; // it exists but could not be read: never write over it
};
