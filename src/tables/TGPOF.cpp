#include "tables/TGPOF.h"

#include "history/KindWindow.h"
#include "history/LayoutHistory.h"
#include "kit/Prompts.h"
#include "model/LayoutModel.h"
#include "model/LayoutSteps.h"
#include "timecode/TimecodeEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace zeltra;
using tables::GridCount;
using tables::GridRows;

namespace {
constexpr int Left = 4;
constexpr int Gap = 10;
constexpr int Top = 4;
constexpr int Columns = 3;
constexpr int ClipColumn = 2;
constexpr int BlockLocates = 5;
constexpr int BlockLoops = 6;
constexpr int BlockGpo = 7;
const QString ClipCaption = QStringLiteral("Clip number");

QPushButton* button(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QTableWidgetItem* fixedItem(const QString& text, const QBrush& face) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(face);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}
} // namespace

TGPOF::TGPOF(LayoutModel& model, LayoutHistory& history, Prompts& prompts, QWidget* parent)
    : QDialog(parent), model_(model), prompts_(prompts), history_(history) {
    setObjectName(QStringLiteral("GPOF"));
    setWindowTitle(QStringLiteral("GPO Setup"));
    setModal(false);
    layout_ = tables::layout(Tag, false);
    connect(&model_, &LayoutModel::imageChanged, this, [this](std::int32_t kind) {
        if (kind == KbdMachine && isVisible())
            showImage();
    });
    connect(&model_, &LayoutModel::showClipChanged, this, [this] {
        if (isVisible())
            showImage();
    });
    // A row edit begun on the layout that was replaced has no place in the new one.
    connect(&model_, &LayoutModel::layoutReplaced, this, [this] {
        if (isVisible())
            FormShow();
    });
    closeWhenKindLeaves(this, model_, KbdMachine, [this] {
        if (savekey && savekey->isEnabled())
            storeEdit();
    });
}

// The controls are made when the window is first shown or used.
void TGPOF::build() {
    if (MainMenu1)
        return;
    buildMenu();
    buildGrids();
    buildEditBox();
}

void TGPOF::buildMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [this](QMenu* m, const QString& caption, const QString& name,
                       const QKeySequence& keys, void (TGPOF::*handler)()) {
        QAction* a = m->addAction(caption);
        a->setObjectName(name);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, handler);
    };
    QMenu* file = MainMenu1->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    item(file, QStringLiteral("Open"), QStringLiteral("Open1"), QKeySequence(Qt::CTRL | Qt::Key_O),
         &TGPOF::Open1Click);
    item(file, QStringLiteral("Save"), QStringLiteral("Save1"), QKeySequence(Qt::CTRL | Qt::Key_S),
         &TGPOF::Save1Click);
    item(file, QStringLiteral("Save As"), QStringLiteral("SaveAs1"),
         QKeySequence(Qt::CTRL | Qt::Key_A), &TGPOF::SaveAs1Click);
    QMenu* link = MainMenu1->addMenu(QStringLiteral("Connect"));
    link->setObjectName(QStringLiteral("Connect1"));
    item(link, QStringLiteral("Download"), QStringLiteral("Download1"), QKeySequence(),
         &TGPOF::Download1Click);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setMenuBar(MainMenu1);
    box->addStretch();
    addEditMenu();
}

void TGPOF::buildGrids() {
    for (int g = 0; g < GridCount; ++g) {
        auto* grid = new QTableWidget(GridRows + 1, Columns, this);
        grid->setObjectName(QStringLiteral("Grid%1").arg(g + 1));
        grid->setProperty("Tag", g + 1);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->installEventFilter(this);
        connect(grid, &QTableWidget::cellClicked, this,
                [this, g](int row, int) { selectRow(g, row); });
        Grid[std::size_t(g)] = grid;
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label%1").arg(g + 1));
        label->setAlignment(Qt::AlignCenter);
        Label[std::size_t(g)] = label;
    }
}

void TGPOF::buildEditBox() {
    editbox = new QGroupBox(QStringLiteral("edit"), this);
    editbox->setObjectName(QStringLiteral("editbox"));
    tcedit = new TimecodeEdit(editbox);
    tcedit->setObjectName(QStringLiteral("tcedit"));
    ClipEdit = new QLineEdit(editbox);
    ClipEdit->setObjectName(QStringLiteral("ClipEdit"));
    ClipEdit->setMaxLength(8);
    auto* row = new QHBoxLayout(editbox);
    row->addWidget(tcedit);
    row->addWidget(ClipEdit);
    savekey = button(QStringLiteral("Save"), QStringLiteral("savekey"), this);
    Cancel1 = button(QStringLiteral("Cancel"), QStringLiteral("Cancel1"), this);
    Rstall = button(QStringLiteral("Reset All"), QStringLiteral("Rstall"), this);
    one2all = button(QStringLiteral("1 to All"), QStringLiteral("one2all"), this);
    connect(tcedit, &QLineEdit::returnPressed, this, &TGPOF::tceditEnter);
    connect(ClipEdit, &QLineEdit::returnPressed, this, &TGPOF::ClipEditEnter);
    connect(savekey, &QPushButton::clicked, this, &TGPOF::savekeyClick);
    connect(Cancel1, &QPushButton::clicked, this, &TGPOF::Cancel1Click);
    connect(Rstall, &QPushButton::clicked, this, &TGPOF::RstallClick);
    connect(one2all, &QPushButton::clicked, this, &TGPOF::one2allClick);
    savekey->installEventFilter(this); // Enter on "Save" ends the chain of Enters with a store
    setEditing(false);
}

void TGPOF::setEditing(bool on) {
    tcedit->setEnabled(on);
    ClipEdit->setEnabled(on);
    savekey->setEnabled(on);
    if (!on)
        editbox->setTitle(QStringLiteral("edit"));
}

void TGPOF::showTable(int tag) {
    if (refuseOutsideMachineMode())
        return;
    Tag = tag;
    FormShow();
    show();
    raise();
    activateWindow();
}

// What the image holds now; a row edit in progress stays open with what was typed.
void TGPOF::showImage() {
    const bool editing = savekey->isEnabled();
    const QString title = editbox->title();
    const bool clip = ClipEdit->isEnabled();
    FormShow();
    if (!editing)
        return;
    setEditing(true);
    ClipEdit->setEnabled(clip);
    editbox->setTitle(title);
}

bool TGPOF::machineMode() const {
    return model_.KbdType() == KbdMachine;
}

bool TGPOF::refuseOutsideMachineMode() {
    if (machineMode())
        return false;
    prompts_.showMessage(
        QStringLiteral("The GPO, cue and loop tables belong to machine control; "
                       "switch to \"Machine Control\" to edit, save or send them."),
        QStringLiteral("Machine Control"));
    return true;
}

void TGPOF::FormShow() {
    build();
    layout_ = tables::layout(Tag, model_.Settings.showClip());
    shownMode_ = Tag;
    setWindowTitle(layout_.caption);
    setEditing(false);
    showCells(tables::fill(model_.McnImage, Tag));
    placeControls(layout_);
    for (QTableWidget* grid : Grid) // the first row current, nothing selected yet
        grid->setCurrentCell(1, 1, QItemSelectionModel::NoUpdate);
}

// Widths as designed, widened where this platform's font needs more room.
void TGPOF::placeControls(const tables::Layout& l) {
    const QFontMetrics fm = Grid[0]->fontMetrics();
    const int pad = 8;
    int labelWidth = tables::LabelWidth;
    for (const auto& g : l.grids)
        for (const QString& s : g.labels)
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(s) + pad);
    const int tcWidth =
        std::max(tables::TimecodeWidth, fm.horizontalAdvance(QStringLiteral("00:00:00:00")) + pad);
    const int clipWidth =
        l.clipColumn ? std::max(l.clipWidth, fm.horizontalAdvance(QStringLiteral("65535")) + pad)
                     : 0;
    const int rowHeight = fm.height() + 6;
    const int labelTop = MainMenu1->sizeHint().height() + Top;
    const int gridTop = labelTop + fm.height() + 4;
    int x = Left;
    int bottom = gridTop;
    for (int g = 0; g < GridCount; ++g) {
        QTableWidget* grid = Grid[std::size_t(g)];
        const tables::GridLayout& gl = l.grids[std::size_t(g)];
        grid->setVisible(gl.visible);
        Label[std::size_t(g)]->setVisible(gl.visible);
        if (!gl.visible)
            continue;
        grid->setColumnWidth(0, labelWidth);
        grid->setColumnWidth(1, tcWidth);
        grid->setColumnWidth(ClipColumn, clipWidth);
        grid->setColumnHidden(ClipColumn, !l.clipColumn);
        for (int r = 0; r <= GridRows; ++r) {
            grid->setRowHeight(r, rowHeight);
            grid->setRowHidden(r, r >= gl.rows);
        }
        const int frame = 2 * grid->frameWidth();
        const int width = labelWidth + tcWidth + clipWidth + frame;
        const int height = rowHeight * gl.rows + frame;
        grid->setGeometry(x, gridTop, width, height);
        Label[std::size_t(g)]->setText(gl.title);
        Label[std::size_t(g)]->setGeometry(x, labelTop, width, fm.height() + 2);
        bottom = std::max(bottom, gridTop + height);
        x += width + Gap;
    }
    ClipEdit->setVisible(l.clipColumn);
    tcedit->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00:00:00:00")) + 3 * pad);
    editbox->adjustSize();
    const int boxTop = bottom + Gap;
    editbox->move(Left, boxTop);
    int bx = Left + editbox->width() + Gap;
    const int buttonTop = boxTop + editbox->height() - savekey->sizeHint().height();
    for (QPushButton* b : {savekey, Cancel1, Rstall, one2all}) {
        b->adjustSize();
        b->move(bx, buttonTop);
        bx += b->width() + 4;
    }
    setFixedSize(std::max(x - Gap + Left, bx + Left), boxTop + editbox->height() + Top);
}

void TGPOF::showCells(const tables::Grids& cells) {
    for (int g = 0; g < GridCount; ++g) {
        QTableWidget* grid = Grid[std::size_t(g)];
        const tables::GridLayout& gl = layout_.grids[std::size_t(g)];
        const QBrush face = palette().button();
        grid->setItem(0, 0, fixedItem(gl.firstTitle, face));
        grid->setItem(0, 1, fixedItem(gl.secondTitle, face));
        grid->setItem(0, ClipColumn, fixedItem(QStringLiteral("Clip"), face));
        for (int r = 1; r <= GridRows; ++r) {
            const tables::Cell& c = cells[std::size_t(g)][std::size_t(r - 1)];
            grid->setItem(r, 0, fixedItem(gl.labels[std::size_t(r - 1)], face));
            auto* tc = new QTableWidgetItem(c.timecode);
            tc->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid->setItem(r, 1, tc);
            auto* clip = new QTableWidgetItem(c.clip);
            clip->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            clip->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(r, ClipColumn, clip);
        }
    }
}

tables::Grids TGPOF::cells() const {
    tables::Grids cells;
    if (!MainMenu1)
        return cells; // empty grids until the window is made
    for (int g = 0; g < GridCount; ++g)
        for (int r = 1; r <= GridRows; ++r) {
            const QTableWidget* grid = Grid[std::size_t(g)];
            auto text = [grid, r](int col) {
                return grid->item(r, col) ? grid->item(r, col)->text() : QString();
            };
            cells[std::size_t(g)][std::size_t(r - 1)] = {text(1), text(ClipColumn)};
        }
    return cells;
}

void TGPOF::selectRow(int grid, int row) {
    build();
    if (row < 1 || row > GridRows)
        return;
    editGrid_ = grid;
    editRow_ = row;
    const tables::Cell c = cells()[std::size_t(grid)][std::size_t(row - 1)];
    if (c.timecode.size() == timecode::TextLength)
        tcedit->setTimecode(c.timecode);
    ClipEdit->setText(c.clip);
    shownCell_ = {tcedit->timecode(), c.clip};
    setEditing(true);
    ClipEdit->setEnabled(tables::hasClip(shownMode_, row));
    editbox->setTitle(QStringLiteral("Edit ") +
                      layout_.grids[std::size_t(grid)].labels[std::size_t(row - 1)]);
    tcedit->setFocus();
    tcedit->setSelection(0, 1);
}

void TGPOF::tceditEnter() {
    build();
    if (ClipEdit->isVisible() && ClipEdit->isEnabled())
        ClipEdit->setFocus();
    else
        savekey->setFocus();
}

void TGPOF::ClipEditEnter() {
    build();
    savekey->setFocus();
}

void TGPOF::Cancel1Click() {
    build();
    setEditing(false);
}

void TGPOF::savekeyClick() {
    build();
    if (tables::clipFromText(ClipEdit->text()).kind == tables::ClipKind::OutOfRange) {
        prompts_.showError(tables::clipRangeMessage(ClipEdit->text()), ClipCaption);
        activateWindow(); // the message belongs to the main window; the edit goes on here
        ClipEdit->setFocus();
        ClipEdit->selectAll();
        return;
    }
    storeEdit();
    QTableWidget* grid = Grid[std::size_t(editGrid_)];
    grid->setCurrentCell(tables::nextRow(shownMode_, editGrid_, editRow_), 1);
    grid->setFocus();
}

// The row goes into the image as one step, named after it. What the user left as the edit
// showed it keeps the row's bytes as they are now (a nibble above 9 shows as a blank in the
// edit); a clip number that does not fit keeps the clip.
void TGPOF::storeEdit() {
    const tables::Cell typed{tcedit->timecode(), ClipEdit->text()};
    const tables::Cell shown = shownCell_;
    const std::size_t grid = std::size_t(editGrid_);
    const std::size_t row = std::size_t(editRow_ - 1);
    Cancel1Click();
    edit(layout_.grids[grid].labels[row], [&](tables::Grids& g) {
        tables::Cell& c = g[grid][row];
        if (typed.timecode != shown.timecode)
            c.timecode = typed.timecode;
        if (typed.clip != shown.clip)
            c.clip = typed.clip;
    });
}

void TGPOF::RstallClick() {
    build();
    edit(Rstall->text(), [](tables::Grids& g) { tables::resetAll(g); });
}

void TGPOF::one2allClick() {
    build();
    edit(one2all->text(), [this](tables::Grids& g) { tables::oneToAll(g, shownMode_); });
}

// "Cue Setup: Reset All": the table shown, changed as grids of text and written back into the
// machine image, as one step of the layout history.
void TGPOF::edit(const QString& step, const std::function<void(tables::Grids&)>& change) {
    const int mode = shownMode_;
    if (mode == 0) // never shown: no table to edit
        return;
    history_.editMachine(steps::windowCommand(layout_.caption, step), [&](MachineImage& image) {
        tables::Grids g = tables::fill(image, mode);
        change(g);
        tables::writeBack(g, mode, image);
    });
}

// "Edit" after "File".
void TGPOF::addEditMenu() {
    auto* edit = new QMenu(QStringLiteral("Edit"), MainMenu1);
    edit->setObjectName(QStringLiteral("Edit1"));
    MainMenu1->insertMenu(MainMenu1->findChild<QMenu*>(QStringLiteral("Connect1"))->menuAction(),
                          edit);
    history_.addEditItems(edit);
}

// A row edit in progress stays when the Open is cancelled; a layout opened replaces it.
void TGPOF::Open1Click() {
    if (open)
        open();
}

void TGPOF::Save1Click() {
    if (refuseOutsideMachineMode())
        return;
    if (save)
        save();
}

void TGPOF::SaveAs1Click() {
    if (refuseOutsideMachineMode())
        return;
    if (saveAs)
        saveAs();
}

int TGPOF::blockOfTable() const {
    switch (shownMode_) {
    case tables::Cues:
        return BlockLocates;
    case tables::Loops:
        return BlockLoops;
    default:
        return BlockGpo;
    }
}

void TGPOF::Download1Click() {
    if (refuseOutsideMachineMode())
        return;
    if (download)
        download(blockOfTable());
}

bool TGPOF::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (watched == savekey && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            savekey->click();
            return true;
        }
        for (int g = 0; g < GridCount; ++g)
            if (watched == Grid[std::size_t(g)] &&
                (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                selectRow(g, Grid[std::size_t(g)]->currentRow());
                return true;
            }
    }
    return QDialog::eventFilter(watched, e);
}

void TGPOF::setVisible(bool visible) {
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}
