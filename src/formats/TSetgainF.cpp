#include "formats/TSetgainF.h"

#include "model/Levels.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace zeltra::formats;

TSetgainF::TSetgainF(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetgainF"));
    setWindowTitle(QStringLiteral("Gain"));
}

// The controls are made when the window is first shown or used.
void TSetgainF::build()
{
    if (Title)
        return;
    Title = new QLabel(this);
    Title->setObjectName(QStringLiteral("Title"));
    Title->setAlignment(Qt::AlignCenter);
    Level = new QLabel(this);
    Level->setObjectName(QStringLiteral("Level"));
    Level->setAlignment(Qt::AlignCenter);
    QFont big = Level->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    Level->setFont(big);
    Level->setMinimumWidth(Level->fontMetrics().horizontalAdvance(QStringLiteral("+120.0dB")) + 16);
    Increase = new QPushButton(QStringLiteral("Increase"), this);
    Increase->setObjectName(QStringLiteral("Increase"));
    Increase->setAutoRepeat(true);
    Decrease = new QPushButton(QStringLiteral("Decrease"), this);
    Decrease->setObjectName(QStringLiteral("Decrease"));
    Decrease->setAutoRepeat(true);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(Increase, &QPushButton::clicked, this, &TSetgainF::IncreaseClick);
    connect(Decrease, &QPushButton::clicked, this, &TSetgainF::DecreaseClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Title, 0, 0, 1, 2);
    grid->addWidget(Level, 1, 0, 1, 2);
    grid->addWidget(Increase, 2, 0);
    grid->addWidget(Decrease, 2, 1);
    grid->addWidget(BitBtn1, 3, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

int TSetgainF::run(const GainUse& use, int value)
{
    build();
    Title->setText(use.title);
    Tag = value;
    Maximum = use.maximum;
    Zero = use.zero;
    exec();
    return Tag;
}

void TSetgainF::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TSetgainF::FormShow()
{
    build();
    Tag = gainOnOpen(Tag, Maximum, Zero);
    showlevel();
}

void TSetgainF::IncreaseClick()
{
    build();
    Tag = gainIncrease(Tag, Maximum);
    showlevel();
}

void TSetgainF::DecreaseClick()
{
    build();
    Tag = gainDecrease(Tag);
    showlevel();
}

void TSetgainF::showlevel() { Level->setText(levelText(Tag, Zero)); }

void TSetgainF::setVisible(bool visible)
{
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}
