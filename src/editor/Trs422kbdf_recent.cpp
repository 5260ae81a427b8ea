// Ways to a layout besides the Open dialog: "File" > "Recent", a file dropped on the window
// and a file named on the command line.
#include "editor/Trs422kbdf.h"
#include "kit/Prompts.h"
#include "model/LayoutWords.h"
#include "model/RecentFiles.h"
#include "program/Arguments.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

using namespace zeltra;

namespace {
const QString RecentSection = QStringLiteral("Recent");

// The one local file a drag carries; empty for anything else.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}
} // namespace

// Shortcuts and the "Recent" list come after the items the file menu always had.
void Trs422kbdf::buildRecentMenu() {
    action(QStringLiteral("Open1"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    action(QStringLiteral("Save1"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    action(QStringLiteral("SaveAs1"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    action(QStringLiteral("Print1"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    QMenu* file = menu(QStringLiteral("File1"));
    file->addSeparator();
    QMenu* recentMenu = addMenu(file, QStringLiteral("Recent"), QStringLiteral("Recent1"));
    connect(recentMenu, &QMenu::aboutToShow, this, &Trs422kbdf::fillRecentMenu);
    fillRecentMenu();
    setAcceptDrops(true);
}

QStringList Trs422kbdf::recentLayouts() const {
    if (TQvSettingsFile* settings = settingsFile())
        return recent::cleaned(settings->list(RecentSection, recent::keyOf, recent::MaxFiles));
    return recent_;
}

void Trs422kbdf::setRecentLayouts(const QStringList& list) {
    recent_ = list;
    if (TQvSettingsFile* settings = settingsFile())
        settings->setList(RecentSection, recent::keyOf, recent::MaxFiles, list);
}

void Trs422kbdf::rememberRecent(const QString& path) {
    setRecentLayouts(recent::added(recentLayouts(), path));
}

// Files that are gone stay in the list, disabled, until they come back or the list is cleared.
// A control character in a name shows as the command line shows it, so no ESC reaches the
// menu and no TAB pushes the name into the shortcut column.
void Trs422kbdf::fillRecentMenu() {
    QMenu* recentMenu = menu(QStringLiteral("Recent1"));
    recentMenu->clear();
    const QStringList list = recentLayouts();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString path = list[i];
        QString text = words::printable(QDir::toNativeSeparators(path));
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = addItem(recentMenu, QStringLiteral("&%1 %2").arg(i + 1).arg(text),
                                QStringLiteral("RecentFile%1").arg(i + 1));
        item->setEnabled(QFileInfo(path).isFile());
        connect(item, &QAction::triggered, this, [this, path] { openNamed(path); });
    }
    recentMenu->addSeparator();
    QAction* clear = addItem(recentMenu, QStringLiteral("Clear"), QStringLiteral("ClearRecent1"));
    clear->setEnabled(!list.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { setRecentLayouts({}); });
}

// Opens a layout named elsewhere than in the Open dialog, asking about unsaved changes first.
bool Trs422kbdf::openNamed(const QString& path) {
    if (refuseWhileTransfer(QStringLiteral("Open key definition file")) || !mayReplaceLayout())
        return false;
    if (!QFileInfo(path).isFile()) {
        reportFileError(QStringLiteral("open"), path, QStringLiteral("There is no such file."));
        return false;
    }
    return openLayout(path);
}

// At show: the layout named on the command line, else (also when that one was refused) the
// one of the last run.
void Trs422kbdf::openStartLayout() {
    const QString given = arguments::layoutFile(args_, QDir::currentPath());
    if (given.isEmpty() || !openNamed(given))
        openlast();
}

void Trs422kbdf::dragEnterEvent(QDragEnterEvent* e) {
    if (!droppedFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

// The drop ends before the file is opened, so the questions and messages that may follow do
// not run inside the drag.
void Trs422kbdf::dropEvent(QDropEvent* e) {
    const QString path = droppedFile(e->mimeData());
    if (path.isEmpty())
        return;
    e->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, path] { openNamed(path); }, Qt::QueuedConnection);
}
