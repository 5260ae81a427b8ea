// Layout files and the settings record: the main window's file commands.
#include "editor/AppTitle.h"
#include "editor/LayoutHistory.h"
#include "editor/Trs422kbdf.h"
#include "kit/Prompts.h"
#include "model/LayoutFiles.h"
#include "model/SafeFile.h"

#include <QAction>
#include <QFileInfo>

using namespace zeltra;
namespace lf = zeltra::layoutfiles;

namespace {
const QString OpenTitle = QStringLiteral("Open key definition file");
const QString ChangedText = QStringLiteral("Layout/Data has changed, Save Changes?");
const QString ChangedCaption = QStringLiteral("Save Changes?");

QString tooLongText(const QString& path)
{
    return QStringLiteral("This path is longer than the %1 bytes the program can remember, so it "
                          "was not used:\n%2")
        .arg(SettingsRecord::StringCapacity)
        .arg(path);
}

// Qt reads such a name with U+FFFD in place of the bytes it cannot decode; that text names
// another file (or none), so the program neither reads nor writes through it.
QString unfaithfulNameText(const QString& path)
{
    return QStringLiteral("The name of this file is not valid UTF-8 text, so the program cannot name "
                          "it exactly and would read or write another file. Rename the file (or its "
                          "folder) and try again:\n%1")
        .arg(path);
}

bool storable(const QString& path) { return safefile::nameIsFaithful(path) && SettingsRecord::fitsString(path); }
} // namespace

bool Trs422kbdf::refuseUnstorable(const QString& path, const QString& caption)
{
    if (!safefile::nameIsFaithful(path))
        prompts_.showError(unfaithfulNameText(path), caption);
    else if (!SettingsRecord::fitsString(path))
        prompts_.showError(tooLongText(path), caption);
    return !storable(path);
}

void Trs422kbdf::reportFileError(const QString& what, const QString& path, const QString& reason)
{
    prompts_.showError(QStringLiteral("Could not %1 %2:\n%3").arg(what, path, reason),
                       QStringLiteral("File error"));
}

void Trs422kbdf::readsettings()
{
    const QString path = lf::settingsRecordPath(model_.settingsFolder());
    title_.set(QStringLiteral("Splash1g ") + path);
    QString error;
    if (lf::readSettingsRecord(path, model_.Settings, &error) == lf::RecordRead::Failed)
        reportFileError(QStringLiteral("read"), path, error);
}

// The record is replaced in one step, so a failed write leaves the old one in place.
void Trs422kbdf::saveconfig()
{
    const QString path = lf::settingsRecordPath(model_.settingsFolder());
    title_.set(QStringLiteral("Splash1i"));
    title_.set(QStringLiteral("Splash1j +path_root"));
    title_.set(QStringLiteral("Splash1k"));
    const QString error = lf::writeSettingsRecord(path, model_.Settings);
    if (error.isEmpty()) {
        lastSettingsError_.clear();
    } else if (error != lastSettingsError_) { // the same failure again is not news
        lastSettingsError_ = error;
        reportFileError(QStringLiteral("store the settings in"), path, error);
    }
    setLayoutCaption(safefile::fileNameOf(model_.Settings.lastFile()));
}

void Trs422kbdf::openlast() { loadLastFile(); }

Trs422kbdf::LoadResult Trs422kbdf::loadLastFile()
{
    const QString path = model_.Settings.lastFile();
    if (path.isEmpty())
        return LoadResult::Missing;
    if (!safefile::nameIsFaithful(path)) { // checked first: the text may name another file
        prompts_.showError(unfaithfulNameText(path), OpenTitle);
        return LoadResult::Failed;
    }
    if (!QFileInfo(path).isFile())
        return LoadResult::Missing;
    setLayoutCaption(safefile::fileNameOf(path));
    const lf::LayoutRead file = lf::readLayout(path);
    if (!file.ok()) {
        reportFileError(QStringLiteral("read"), path, file.error);
        return LoadResult::Failed;
    }
    if (!lf::kindHasImage(file.kind)) { // nothing of it reaches the model or the record
        prompts_.showMessage(safefile::fileNameOf(path) +
                                 QStringLiteral(" is for a keyboard kind that has no layout image; nothing was loaded."),
                             OpenTitle);
        return LoadResult::Failed;
    }
    leaveKind(file.kind); // while the windows still show the layout they were opened on
    lf::applyLayout(model_, file);
    applyLoadedKind(file.kind);
    action(QStringLiteral("Save1"))->setEnabled(true);
    setkbdtype();
    setkbdval();
    return LoadResult::Loaded;
}

void Trs422kbdf::applyLoadedKind(std::int32_t kind)
{
    if (kind == KbdMachine)
        MonitorControl1Click(action(QStringLiteral("mcnctrl")));
    else if (kind == KbdMonitor)
        MonitorControl1Click(action(QStringLiteral("MonitorControl1")));
}

void Trs422kbdf::Open1Click()
{
    if (!mayReplaceLayout())
        return;
    const QString path = prompts_.askOpenFile(OpenTitle, model_.dialogFolder(), lf::dialogFilter());
    if (!path.isEmpty())
        openLayout(path);
}

// Changes are given up only when another layout has actually replaced them.
bool Trs422kbdf::mayReplaceLayout() {
    return !(model_.LayoutChanged && prompts_.askYesNo(ChangedText, ChangedCaption) &&
             !saveLayout());
}

bool Trs422kbdf::openLayout(const QString& path) {
    if (refuseUnstorable(path, OpenTitle))
        return false;
    const SettingsRecord previous = model_.Settings;
    model_.Settings.setLastDir(safefile::folderOf(path));
    model_.Settings.setLastFile(path);
    const LoadResult result = loadLastFile();
    if (result == LoadResult::Loaded) {
        model_.LayoutChanged = false;
        if (history_)
            history_->startNew();
        rememberRecent(path);
        showOpenedLayout();
    } else if (result == LoadResult::Failed) {
        // A file that was not loaded leaves the record as it was, so "&Save" never writes
        // over it and the next start does not reopen it.
        model_.Settings = previous;
    }
    saveconfig();
    return result == LoadResult::Loaded;
}

bool Trs422kbdf::refuseWithoutImage()
{
    if (lf::kindHasImage(model_.KbdType()))
        return false;
    prompts_.showMessage(QStringLiteral("This keyboard kind has no layout image, so nothing was saved."),
                         QStringLiteral("Save"));
    return true;
}

void Trs422kbdf::Save1Click() { saveLayout(); }

// Writes the current image with the keys' codes to `path`; the layout counts as saved only
// when the whole file was written.
bool Trs422kbdf::writeLayout(const QString& path)
{
    updkbddta();
    if (const QString error = safefile::writeAtomic(path, lf::currentImage(model_)); !error.isEmpty()) {
        reportFileError(QStringLiteral("save"), path, error);
        return false;
    }
    model_.LayoutChanged = false;
    if (history_)
        history_->markSaved();
    rememberRecent(path);
    showUnsavedMark();
    return true;
}

bool Trs422kbdf::saveLayout()
{
    const QString path = model_.Settings.lastFile();
    if (path.isEmpty() || !safefile::nameIsFaithful(path) || !QFileInfo(path).isFile())
        return saveLayoutAs();
    if (refuseWithoutImage())
        return false;
    return writeLayout(path);
}

void Trs422kbdf::SaveAs1Click() { saveLayoutAs(); }

bool Trs422kbdf::saveLayoutAs()
{
    if (refuseWithoutImage())
        return false;
    QString path;
    for (;;) {
        path = prompts_.askSaveFile(QString(), model_.dialogFolder(), model_.Settings.lastFile(),
                                    lf::dialogFilter());
        if (path.isEmpty())
            return false;
        path = lf::withDefaultExtension(path);
        if (refuseUnstorable(path, QStringLiteral("Save As")))
            continue;
        // Found out before the name is stored: a pipe, a device or a folder is never replaced.
        if (const QString problem = safefile::saveProblem(path); !problem.isEmpty()) {
            reportFileError(QStringLiteral("save"), path, problem);
            continue;
        }
        if (!QFileInfo::exists(path) ||
            prompts_.askYesNo(safefile::fileNameOf(path) + QStringLiteral(" exists replace?"),
                              QStringLiteral("Retry")))
            break;
    }
    model_.Settings.setLastDir(safefile::folderOf(path));
    model_.Settings.setLastFile(path);
    saveconfig();
    return writeLayout(path);
}
