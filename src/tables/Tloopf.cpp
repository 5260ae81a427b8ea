#include "tables/Tloopf.h"

#include "editing/TableGrid.h"
#include "timecode/TimecodeEdit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace zeltra;

namespace {
QGroupBox* group(const QString& caption, QWidget* inside, QWidget* parent,
                 QWidget* second = nullptr) {
    auto* box = new QGroupBox(caption, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(inside);
    if (second)
        layout->addWidget(second);
    return box;
}

QComboBox* list(const QString& name, const QStringList& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setCurrentIndex(0);
    return combo;
}

TimecodeEdit* timecodeEdit(const QString& name, QWidget* parent) {
    auto* edit = new TimecodeEdit(parent);
    edit->setObjectName(name);
    return edit;
}
} // namespace

Tloopf::Tloopf(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("loopf"));
    setWindowTitle(QStringLiteral("Enter `Loop Details"));
}

// The controls are made when the window is first shown or used.
void Tloopf::build() {
    if (OK)
        return;
    LoopStart = timecodeEdit(QStringLiteral("LoopStart"), this);
    LoopEnd = timecodeEdit(QStringLiteral("LoopEnd"), this);
    Machine = list(QStringLiteral("Machine"), {"A", "B", "A & B"}, this);
    EndAction =
        list(QStringLiteral("EndAction"), {"Pause", "Stop", "Locate", "Locate and Play"}, this);
    QStringList loops;
    for (int i = 1; i <= tables::EndDestItems; ++i)
        loops << QStringLiteral("Loop %1").arg(i);
    EndDest = list(QStringLiteral("EndDest"), loops, this);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(group(QStringLiteral("Loop Start"), LoopStart, this), 0, 0);
    grid->addWidget(group(QStringLiteral("Loop End"), LoopEnd, this), 0, 1);
    grid->addWidget(group(QStringLiteral("Loop Machine"), Machine, this), 1, 0);
    grid->addWidget(group(QStringLiteral("At loop Out"), EndAction, this, EndDest), 1, 1);
    grid->addWidget(OK, 2, 0, 1, 2, Qt::AlignHCenter);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void Tloopf::preset(const tables::LoopDetails& d) {
    build();
    LoopStart->setTimecode(timecode::toText(d.start));
    LoopEnd->setTimecode(timecode::toText(d.end));
    shownStart_ = LoopStart->timecode();
    shownEnd_ = LoopEnd->timecode();
    Machine->setCurrentIndex(tables::listIndex(d.machine, tables::MachineItems));
    EndAction->setCurrentIndex(tables::listIndex(d.endAction, tables::EndActionItems));
    EndDest->setCurrentIndex(tables::listIndex(d.endDest, tables::EndDestItems));
}

tables::LoopDetails Tloopf::details(const tables::LoopDetails& preset) const {
    if (!OK)
        return preset; // never shown: nothing was edited
    tables::LoopDetails d;
    d.start = tables::edited(preset.start, shownStart_, LoopStart->timecode());
    d.end = tables::edited(preset.end, shownEnd_, LoopEnd->timecode());
    d.machine = Machine->currentIndex();
    d.endAction = EndAction->currentIndex();
    d.endDest = EndDest->currentIndex();
    return d;
}

void Tloopf::setVisible(bool visible) {
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}
