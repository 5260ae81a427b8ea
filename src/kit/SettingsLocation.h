#pragma once
#include <QProcessEnvironment>
#include <QString>

// Where the settings record (rs422kbd.ini) and the text settings file (zeltra.ini) live.
// A program folder this user may write keeps them beside the program, as a portable copy
// does; an installed copy, whose folder is not writable, keeps them in
// $XDG_CONFIG_HOME/zeltra/ (~/.config/zeltra/ by default). The default file zeltra.def and
// the manuals stay where the program was installed.
struct SettingsLocation {
    QString folder; // with a trailing separator
    bool portable = true;

    // `programDir` ends in a separator. The settings folder of an installed copy is made here
    // when it is missing; a failure to make it shows later, when the settings are written.
    static SettingsLocation choose(const QString& programDir, const QProcessEnvironment& env);

    // Writable by its permission bits for this user and by the system (a read-only mount).
    static bool folderWritable(const QString& folder);
    // $XDG_CONFIG_HOME/zeltra/ when that is an absolute path, else $HOME/.config/zeltra/.
    static QString configFolder(const QProcessEnvironment& env);
};
