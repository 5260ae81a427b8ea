// The main window's side of the layout history: what a snapshot holds of the keys, the
// "Edit" menu with Undo and Redo, and the unsaved mark in the caption.
#include "editor/LayoutHistory.h"
#include "editor/Trs422kbdf.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "kit/TQveButton.h"
#include "model/FunctionTables.h"
#include "tables/TGPOF.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>

using namespace zeltra;

void Trs422kbdf::attachHistory(LayoutHistory* history) {
    history_ = history;
    history_->capture = [this] { return snapshot(); };
    history_->restore = [this](const LayoutSnapshot& s) { putSnapshot(s); };
    connect(history_, &QUndoStack::indexChanged, this, &Trs422kbdf::showUnsavedMark);
    connect(history_, &QUndoStack::cleanChanged, this, &Trs422kbdf::showUnsavedMark);
    connect(history_, &LayoutHistory::edited, this, &Trs422kbdf::showUnsavedMark);
    connect(history_, &LayoutHistory::restored, this, &Trs422kbdf::refreshEditors);
    if (gpo_)
        gpo_->attachHistory(history_);
    if (defFormat_)
        defFormat_->attachHistory(history_);
    buildEditMenu();
}

void Trs422kbdf::buildEditMenu() {
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->menuAction()->setObjectName(QStringLiteral("Edit1"));
    menuBar()->insertMenu(menu(QStringLiteral("Function1"))->menuAction(), edit);
    history_->addEditItems(edit);
}

LayoutSnapshot Trs422kbdf::snapshot() const {
    LayoutSnapshot s{model_.McnImage, model_.MonImage, {}, !shiftf->isHidden()};
    for (int i = 0; i < KeyCount; ++i) {
        const TQveButton* key = KeyButtons[std::size_t(i)];
        s.keys[std::size_t(i)] = {key->Tag(), key->Caption(),
                                  key->Colors()->color(TQvColors::Fill_Lit),
                                  key->Colors()->color(TQvColors::Text_Lit), key->Hint()};
    }
    return s;
}

// The keys get back exactly what they showed; the macro menu follows the image.
void Trs422kbdf::putSnapshot(const LayoutSnapshot& s) {
    model_.McnImage = s.mcn;
    model_.MonImage = s.mon;
    shiftf->setVisible(s.shifted);
    updmacrolable();
    for (int i = 0; i < KeyCount; ++i) {
        TQveButton* key = KeyButtons[std::size_t(i)];
        const KeyShown& shown = s.keys[std::size_t(i)];
        key->setTag(shown.code);
        key->setCaption(shown.caption);
        key->Colors()->setColor(TQvColors::Fill_Lit, shown.fill);
        key->Colors()->setColor(TQvColors::Text_Lit, shown.text);
        key->setHint(shown.hint);
    }
}

void Trs422kbdf::recordEdit(const std::function<QString()>& name,
                            const std::function<void()>& edit) {
    if (history_)
        history_->record(name, edit);
    else
        edit();
    showUnsavedMark();
}

int Trs422kbdf::keyIndex(const TQveButton* key) const {
    return int(std::find(KeyButtons.begin(), KeyButtons.end(), key) - KeyButtons.begin());
}

// "key 5: Loc-3": the key and the function it carries now.
QString Trs422kbdf::keyStep(const TQveButton* key, const QString& what) const {
    const QString name = QString::fromLatin1(
        zeltra::functionTable(
            model_.KbdType())[std::size_t(zeltra::findfunction(model_.KbdType(), key->Tag()))]
            .Name);
    return what.isEmpty() ? steps::keyFunction(keyIndex(key), name)
                          : steps::keyDetail(keyIndex(key), name, what);
}

// Open windows show the layout just loaded; a row edit begun on the old one is dropped.
void Trs422kbdf::showOpenedLayout() {
    if (gpo_)
        gpo_->refresh();
    if (selFormat_ && selFormat_->isVisible())
        selFormat_->FormShow();
}

// Open windows show the layout that undo or redo put back.
void Trs422kbdf::refreshEditors() {
    if (gpo_)
        gpo_->refresh(true);
    if (selFormat_ && selFormat_->isVisible())
        selFormat_->FormShow();
}

// Qt shows the mark only where the caption has its place holder.
void Trs422kbdf::showUnsavedMark() {
    if (windowTitle().contains(QLatin1String("[*]")))
        setWindowModified(model_.LayoutChanged);
}

void Trs422kbdf::setLayoutCaption(const QString& fileName) {
    setWindowTitle(fileName + QStringLiteral("[*]"));
    showUnsavedMark();
}
