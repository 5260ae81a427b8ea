// Layout files and the settings record: the main window's file commands.
#include "editor/Trs422kbdf.h"
#include "history/LayoutHistory.h"
#include "kit/Prompts.h"
#include "link/TDownloadf.h"
#include "model/LayoutFiles.h"
#include "model/SafeFile.h"
#include "program/AppTitle.h"

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

const QString TransferText = QStringLiteral(
    "A transfer with the keyboard is running. Its bytes belong to the layout it started on, "
    "so another layout can be opened, or the keyboard kind switched, once it has ended.");
} // namespace

bool Trs422kbdf::refuseWhileTransfer(const QString& caption)
{
    if (!link_ || !link_->transferRunning())
        return false;
    prompts_.showMessage(TransferText, caption);
    return true;
}

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
    SettingsRecord record = model_.Settings;
    if (lf::readSettingsRecord(path, record, &error) == lf::RecordRead::Failed)
        reportFileError(QStringLiteral("read"), path, error);
    model_.setSettings(record);
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
    showCaption();
}

// The layout of the last run. When it is gone it stays the layout's file (the caption names
// it, and Save asks for a name); a file that was refused is not.
void Trs422kbdf::openlast()
{
    const QString path = model_.Settings.lastFile();
    if (loadFile(path) == LoadResult::Missing)
        model_.setFile(path);
}

// A layout read whole replaces the image of its kind and starts a new history; anything
// refused or unreadable leaves the model as it was.
Trs422kbdf::LoadResult Trs422kbdf::loadFile(const QString& path)
{
    if (path.isEmpty())
        return LoadResult::Missing;
    if (!safefile::nameIsFaithful(path)) { // checked first: the text may name another file
        prompts_.showError(unfaithfulNameText(path), OpenTitle);
        return LoadResult::Failed;
    }
    if (!QFileInfo(path).isFile())
        return LoadResult::Missing;
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
    LayoutData next = model_.data();
    lf::applyLayout(next, file);
    model_.load(file.kind, next.image(file.kind), path);
    history_->startNew(LayoutHistory::Start::Saved);
    return LoadResult::Loaded;
}

void Trs422kbdf::Open1Click()
{
    if (refuseWhileTransfer(OpenTitle) || !mayReplaceLayout())
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
    const LoadResult result = loadFile(path);
    if (result == LoadResult::Loaded) {
        rememberRecent(path);
    } else if (result == LoadResult::Failed) {
        // A file that was not loaded leaves the record as it was, so the next start does not
        // reopen it.
        model_.setSettings(previous);
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

// Writes the current image to `path`, which becomes the layout's file; the layout counts as
// saved only when the whole file was written.
bool Trs422kbdf::writeLayout(const QString& path)
{
    if (const QString error = safefile::writeAtomic(path, lf::currentImage(model_.data())); !error.isEmpty()) {
        reportFileError(QStringLiteral("save"), path, error);
        return false;
    }
    history_->markSaved();
    model_.setFile(path);
    rememberRecent(path);
    return true;
}

bool Trs422kbdf::saveLayout()
{
    const QString path = model_.file();
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
