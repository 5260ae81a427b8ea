// The main window's side of the layout history: the "Edit" menu with Undo and Redo, the names
// of its steps, and the caption with the unsaved mark.
#include "editor/Trs422kbdf.h"
#include "history/LayoutHistory.h"
#include "kit/TQveButton.h"
#include "model/FunctionTables.h"
#include "model/LayoutSteps.h"
#include "model/LayoutWords.h"
#include "model/SafeFile.h"

#include <QAction>
#include <QMenuBar>

using namespace zeltra;

void Trs422kbdf::attachHistory(LayoutHistory& history) {
    history_ = &history;
    buildEditMenu();
}

void Trs422kbdf::buildEditMenu() {
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->menuAction()->setObjectName(QStringLiteral("Edit1"));
    menuBar()->insertMenu(menu(QStringLiteral("Function1"))->menuAction(), edit);
    history_->addEditItems(edit);
}

void Trs422kbdf::editByte(const QString& step, std::size_t at, std::uint8_t value) {
    history_->edit(step, model_.KbdType(), [at, value](std::span<std::uint8_t> image) {
        image[at] = value;
    });
}

int Trs422kbdf::keyIndex(const TQveButton* key) const {
    return int(std::find(KeyButtons.begin(), KeyButtons.end(), key) - KeyButtons.begin());
}

// "key 5: Loc-3": the key and a function of the working kind.
QString Trs422kbdf::keyStep(int index, int code, const QString& what) const {
    const auto table = functionTable(model_.KbdType());
    const QString name = QString::fromLatin1(table[std::size_t(findfunction(table, code))].Name);
    return what.isEmpty() ? steps::keyFunction(index, name) : steps::keyDetail(index, name, what);
}

// Qt shows the mark only where the caption has its place holder.
void Trs422kbdf::showUnsavedMark() {
    if (windowTitle().contains(QLatin1String("[*]")))
        setWindowModified(model_.LayoutChanged);
}

// The name of the layout's file, its control characters shown as the command line shows
// them; nothing after a kind switch, which leaves the layout without a file.
void Trs422kbdf::showCaption() {
    setWindowTitle(words::printable(safefile::fileNameOf(model_.file())) + QStringLiteral("[*]"));
    showUnsavedMark();
    action(QStringLiteral("Save1"))->setEnabled(model_.hasFile());
}
