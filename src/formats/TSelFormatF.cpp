#include "formats/TSelFormatF.h"

#include "formats/TDefFormat.h"
#include "history/KindWindow.h"
#include "history/LayoutHistory.h"
#include "model/LayoutModel.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace zeltra;

TSelFormatF::TSelFormatF(LayoutModel& model, LayoutHistory& history, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("SelFormatF"));
    setWindowTitle(QStringLiteral("Select Format"));
    history.addEditKeys(this);
    connect(&model_, &LayoutModel::imageChanged, this, [this](std::int32_t kind) {
        if (kind == KbdMonitor && isVisible())
            showNames();
    });
    closeWhenKindLeaves(this, model_, KbdMonitor);
}

// The controls are made when the window is first shown or used.
void TSelFormatF::build()
{
    if (Monformat)
        return;
    Monformat = new QListWidget(this);
    Monformat->setObjectName(QStringLiteral("Monformat"));
    Monformat->setSelectionMode(QAbstractItemView::SingleSelection);
    Monformat->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Edit"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &TSelFormatF::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TSelFormatF::BitBtn2Click);
    // A double click edits the entry where "Edit" is offered, and picks it otherwise.
    connect(Monformat, &QListWidget::itemDoubleClicked, this,
            [this] { BitBtn2->isHidden() ? BitBtn1Click() : BitBtn2Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Monformat);
    layout->addLayout(buttons);
    // Room for all sixteen lines: "16:" and an 8-character name.
    const QFontMetrics fm(Monformat->font());
    Monformat->setMinimumSize(fm.horizontalAdvance(QStringLiteral("16:WWWWWWWW")) + 40,
                              fm.height() * mon::FormatCount + 12);
}

void TSelFormatF::showForEditing()
{
    build();
    BitBtn2->show();
    show();
    raise();
    activateWindow();
}

std::optional<int> TSelFormatF::pick(int current)
{
    build();
    const bool editing = isVisible();
    const int editingTag = MonformatTag;
    const int highlighted = Monformat->currentRow();
    if (editing)
        hide();
    BitBtn2->hide();
    MonformatTag = current;
    const bool accepted = exec() == QDialog::Accepted;
    const int chosen = selectedIndex();
    if (editing) {
        MonformatTag = editingTag;
        showForEditing();
        Monformat->setCurrentRow(highlighted);
    }
    return accepted ? std::optional<int>(chosen) : std::nullopt;
}

int TSelFormatF::selectedIndex() const
{
    const int row = Monformat ? Monformat->currentRow() : -1;
    if (row >= 0 && row < mon::FormatCount && Monformat->currentItem()->isSelected())
        return row;
    return MonformatTag >= 0 && MonformatTag < mon::FormatCount ? MonformatTag : 0;
}

void TSelFormatF::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

// Filled at every show, so that the names are those of the layout in memory now. A tag
// that names no entry (a file's stray byte) selects the first.
void TSelFormatF::FormShow()
{
    build();
    Monformat->clear();
    for (int n = 0; n < mon::FormatCount; ++n)
        Monformat->addItem(QString());
    showNames();
    const int row = MonformatTag >= 0 && MonformatTag < mon::FormatCount ? MonformatTag : 0;
    Monformat->setCurrentRow(row);
}

// The names as the image holds them now; the row the user highlighted stays.
void TSelFormatF::showNames()
{
    for (int n = 0; n < mon::FormatCount && n < Monformat->count(); ++n)
        Monformat->item(n)->setText(QStringLiteral("%1:").arg(n + 1) + model_.MonImage.formatName(n));
}

void TSelFormatF::BitBtn1Click() { accept(); }

void TSelFormatF::BitBtn2Click()
{
    const int n = selectedIndex();
    MonformatTag = n;
    if (editor_)
        editor_->edit(n);
    FormShow();
    accept(); // "Edit" ends the list
}

void TSelFormatF::setVisible(bool visible)
{
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}
