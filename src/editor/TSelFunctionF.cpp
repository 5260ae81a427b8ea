#include "editor/TSelFunctionF.h"

#include "kit/TQveButton.h"
#include "model/KeyFaces.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ListWidth = 480;
constexpr int ListHeight = 360;
constexpr int SpacerWidth = 8;
} // namespace

TSelFunctionF::TSelFunctionF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SelFunctionF"));
    setWindowTitle(QStringLiteral("SelFunctionF"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    DescriptionList = new QListWidget(this);
    DescriptionList->setObjectName(QStringLiteral("DescriptionList"));
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    DescriptionList->setFont(courier);
    DescriptionList->setMinimumSize(ListWidth, ListHeight);
    connect(DescriptionList, &QListWidget::itemDoubleClicked, this, &TSelFunctionF::BitBtn3Click);

    BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setDefault(true);
    auto* spacer = new QPushButton(this);
    spacer->setObjectName(QStringLiteral("ToolButton1"));
    spacer->setEnabled(false);
    spacer->setFixedWidth(SpacerWidth);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("BitBtn4"));
    connect(BitBtn3, &QPushButton::clicked, this, &TSelFunctionF::BitBtn3Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* bar = new QHBoxLayout;
    bar->addWidget(BitBtn3);
    bar->addWidget(spacer);
    bar->addWidget(Cancel);
    bar->addStretch();
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 4);
    box->addWidget(DescriptionList, 1);
    box->addLayout(bar);
}

void TSelFunctionF::showEvent(QShowEvent* e) {
    if (parentWidget()) // centred on the main window
        move(parentWidget()->window()->geometry().center() - rect().center());
    FormShow();
    QDialog::showEvent(e);
}

void TSelFunctionF::FormShow() {
    DescriptionList->clear();
    rows_ = zeltra::functionlist::rows(ListKind, TopRowKey);
    for (const auto& row : rows_)
        DescriptionList->addItem(row.text);
    findfunction(Tag);
}

int TSelFunctionF::findfunction(int code) {
    const auto table = zeltra::functionTable(ListKind);
    const int row = zeltra::findfunction(table, code);
    Current = table[std::size_t(row)];
    const int listRow = zeltra::functionlist::listRowOf(rows_, row);
    if (DescriptionList->count() == int(rows_.size())) {
        DescriptionList->setCurrentRow(listRow);
        if (DescriptionList->currentItem())
            DescriptionList->scrollToItem(DescriptionList->currentItem(),
                                          QAbstractItemView::PositionAtCenter);
    }
    return row;
}

// A list without a selected row (the key's function is one this key may not have) leaves the
// Tag as it was, as Cancel does. Only a highlighted row counts: the list makes its first row
// current when it gets the focus, without the user choosing it.
void TSelFunctionF::BitBtn3Click() {
    const QListWidgetItem* item = DescriptionList->currentItem();
    const int chosen = item && item->isSelected() ? DescriptionList->currentRow() : -1;
    const int row = zeltra::functionlist::tableRowOf(rows_, chosen);
    if (row < 0) {
        reject();
        return;
    }
    Current = zeltra::functionTable(ListKind)[std::size_t(row)];
    Tag = Current.Code;
    accept();
}

void TSelFunctionF::setkeyfunction(TQveButton* button) {
    Tag = button->Tag();
    const auto table = zeltra::functionTable(ListKind);
    Current = table[std::size_t(zeltra::findfunction(table, Tag))];
    const zeltra::KeyFace face = zeltra::keyFace(ListKind, Tag);
    button->setCaption(face.caption);
    button->Colors()->setColor(TQvColors::Fill_Lit, face.fill);
    settextcolour(button);
    button->setHint(face.hint);
    if (updmacrolable)
        updmacrolable();
}

void TSelFunctionF::settextcolour(TQveButton* button) {
    button->Colors()->setColor(TQvColors::Text_Lit,
                               zeltra::litTextColour(button->Colors()->color(TQvColors::Fill_Lit)));
}
