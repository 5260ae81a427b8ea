#include "kit/TQvSettingsFile.h"

#include "model/SafeFile.h"

TQvSettingsFile::TQvSettingsFile(const QString& programPath, const QString& webAddress,
                                 MessageHook message)
    : programName_(zeltra::safefile::fileNameOf(programPath)), webAddress_(webAddress),
      message_(std::move(message)), settings_(withExtension(programPath, QStringLiteral(".ini"))),
      defaults_(withExtension(programPath, QStringLiteral(".def")))
{
}

QString TQvSettingsFile::withExtension(const QString& programPath, const QString& extension)
{
    const QString folder = zeltra::safefile::folderOf(programPath);
    QString name = programPath.mid(folder.size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return folder + name + extension;
}

void TQvSettingsFile::setSettingsFolder(const QString& folder)
{
    settings_ = IniFile(folder + zeltra::safefile::fileNameOf(settings_.path()));
}

void TQvSettingsFile::tell(const QString& text) const
{
    if (message_)
        message_(text);
}

QString TQvSettingsFile::replacementHint() const
{
    return QStringLiteral("\rDownload a replacement from ") + webAddress_;
}

TQvSettingsFile::Check TQvSettingsFile::check(const IniFile& file, IniFile::Load loaded) const
{
    if (loaded == IniFile::Load::Missing)
        return Check::Missing;
    if (loaded == IniFile::Load::Failed)
        return Check::Foreign;
    const auto exe = file.value(QLatin1String(AppSection), QLatin1String(ExeKey));
    return exe && exe->compare(programName_, Qt::CaseInsensitive) == 0 ? Check::Ours : Check::Foreign;
}

bool TQvSettingsFile::open()
{
    const IniFile::Load settingsLoad = settings_.load();
    const Check settingsCheck = check(settings_, settingsLoad);
    if (settingsLoad == IniFile::Load::Failed) {
        // Unreadable, oversized or not a file: reported as a file that fails its check, and
        // left exactly as it is for the whole run.
        untouchable_ = true;
        tell(QStringLiteral("Settings file may be corrupted\r") + settings_.path() + QStringLiteral(": ") +
             settings_.errorString());
    } else if (settingsCheck == Check::Foreign) {
        tell(QStringLiteral("Settings file may be corrupted"));
    }

    const Check defaultsCheck = check(defaults_, defaults_.load());
    if (defaultsCheck == Check::Foreign) {
        tell(QStringLiteral("Default settings file is invalid.") + replacementHint());
        return false;
    }
    if (defaultsCheck == Check::Missing) {
        tell(QStringLiteral("Default settings file is missing:") + replacementHint());
        return false;
    }
    if (settingsCheck == Check::Missing) {
        copySection(QLatin1String(CopiedAppSection));
        copySection(QLatin1String(FactorySection));
        write();
    }
    return true;
}

void TQvSettingsFile::copySection(const QString& section)
{
    for (const QString& line : defaults_.entries(section))
        settings_.putEntry(section, line);
}

void TQvSettingsFile::write()
{
    if (untouchable_)
        return;
    if (settings_.save()) {
        lastWriteError_.clear();
        return;
    }
    const QString text = QStringLiteral("Could not write ") + settings_.path() + QStringLiteral(": ") +
                         settings_.errorString();
    if (text != lastWriteError_) // the same failure again is not news
        tell(text);
    lastWriteError_ = text;
}

void TQvSettingsFile::savePlacement(const QString& formName, const Placement& p)
{
    if (released_)
        return;
    const QString prefix = QStringLiteral("<FORM>") + formName;
    const QString section = QLatin1String(CurrentSection);
    auto put = [&](const char* key, const QString& value) {
        settings_.setValue(section, prefix + QLatin1String(key), value);
    };
    auto putInt = [&](const char* key, int value) { put(key, QString::number(value)); };
    putInt("_FState", int(p.state));
    if (p.state == WindowState::Normal) {
        putInt("_FLeft", p.left);
        putInt("_FTop", p.top);
        if (p.sizeable) {
            putInt("_FWidth", p.width);
            putInt("_FHeight", p.height);
        }
    }
    putInt("_FontSize", p.fontSize);
    put("_FontName", p.fontName);
    putInt("_FVisible", p.visible ? 1 : 0);
    putInt("_FAutoHideTitleBar", p.autoHideTitleBar ? 1 : 0);
    write();
}

void TQvSettingsFile::closeMain()
{
    if (released_)
        return;
    settings_.setValue(QLatin1String(AppSection), QLatin1String(ExeKey), programName_);
    write();
    released_ = true;
}

std::optional<QString> TQvSettingsFile::option(const QString& key) const
{
    return settings_.value(QLatin1String(CurrentSection), key);
}

void TQvSettingsFile::setOption(const QString& key, const QString& value)
{
    if (released_ || settings_.value(QLatin1String(CurrentSection), key) == value)
        return;
    if (settings_.setValue(QLatin1String(CurrentSection), key, value))
        write();
}

QStringList TQvSettingsFile::list(const QString& section, const std::function<QString(int)>& keyOf,
                                  int count) const {
    QStringList values;
    for (int i = 0; i < count; ++i)
        values << settings_.value(section, keyOf(i)).value_or(QString());
    return values;
}

void TQvSettingsFile::setList(const QString& section, const std::function<QString(int)>& keyOf,
                              int count, const QStringList& values) {
    if (released_)
        return;
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        const QString value = i < values.size() ? values[i] : QString();
        if (settings_.value(section, keyOf(i)).value_or(QString()) != value)
            changed = settings_.setValue(section, keyOf(i), value) || changed;
    }
    if (changed)
        write();
}
