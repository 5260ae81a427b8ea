#include "editor/TSelFunctionF.h"


#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
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
}

// The controls are made when the window is first shown or used.
void TSelFunctionF::build() {
    if (DescriptionList)
        return;
    DescriptionList = new QListWidget(this);
    DescriptionList->setObjectName(QStringLiteral("DescriptionList"));
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    DescriptionList->setFont(courier);
    DescriptionList->setMinimumSize(ListWidth, ListHeight);
    connect(DescriptionList, &QListWidget::itemDoubleClicked, this, &TSelFunctionF::BitBtn3Click);
    FilterEdit = new QLineEdit(this);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setPlaceholderText(QStringLiteral("Filter"));
    FilterEdit->setClearButtonEnabled(true);
    FilterEdit->installEventFilter(this);
    connect(FilterEdit, &QLineEdit::textChanged, this, &TSelFunctionF::FilterEditChange);

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
    box->addWidget(FilterEdit);
    box->addWidget(DescriptionList, 1);
    box->addLayout(bar);
}

void TSelFunctionF::showEvent(QShowEvent* e) {
    if (parentWidget()) // centred on the main window
        move(parentWidget()->window()->geometry().center() - rect().center());
    FormShow();
    QDialog::showEvent(e);
}

// The filter starts empty and has the focus, so typing narrows the list at once.
void TSelFunctionF::FormShow() {
    build();
    {
        const QSignalBlocker quiet(FilterEdit);
        FilterEdit->clear();
    }
    rows_ = zeltra::functionlist::rows(ListKind, TopRowKey);
    showRows();
    findfunction(Tag);
    FilterEdit->setFocus();
}

void TSelFunctionF::showRows() {
    DescriptionList->clear();
    shown_ = zeltra::functionlist::matching(rows_, ListKind, FilterEdit->text());
    for (const auto& row : shown_)
        DescriptionList->addItem(row.text);
}

// The highlighted function stays highlighted while it matches; otherwise the first match is,
// so Enter takes it.
void TSelFunctionF::FilterEditChange() {
    const QListWidgetItem* item = DescriptionList->currentItem();
    const int highlighted =
        item && item->isSelected()
            ? zeltra::functionlist::tableRowOf(shown_, DescriptionList->currentRow())
            : -1;
    showRows();
    const int kept = zeltra::functionlist::listRowOf(shown_, highlighted);
    if (!shown_.empty())
        DescriptionList->setCurrentRow(kept >= 0 ? kept : 0);
}

// Up and Down (and the page keys) typed in the filter move in the list.
bool TSelFunctionF::eventFilter(QObject* watched, QEvent* e) {
    if (watched == FilterEdit && e->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(DescriptionList, e);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, e);
}

// Escape clears a filter first; the next one cancels.
void TSelFunctionF::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && FilterEdit && !FilterEdit->text().isEmpty()) {
        FilterEdit->clear();
        FilterEdit->setFocus();
        return;
    }
    QDialog::keyPressEvent(e);
}

int TSelFunctionF::findfunction(int code) {
    const auto table = zeltra::functionTable(ListKind);
    const int row = zeltra::findfunction(table, code);
    Current = table[std::size_t(row)];
    const int listRow = zeltra::functionlist::listRowOf(shown_, row);
    if (DescriptionList && DescriptionList->count() == int(shown_.size())) {
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
    build();
    const QListWidgetItem* item = DescriptionList->currentItem();
    const int chosen = item && item->isSelected() ? DescriptionList->currentRow() : -1;
    const int row = zeltra::functionlist::tableRowOf(shown_, chosen);
    if (row < 0) {
        reject();
        return;
    }
    Current = zeltra::functionTable(ListKind)[std::size_t(row)];
    Tag = Current.Code;
    accept();
}

void TSelFunctionF::setVisible(bool visible) {
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}
