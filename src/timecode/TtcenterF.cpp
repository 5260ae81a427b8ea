#include "timecode/TtcenterF.h"

#include "timecode/TimecodeEdit.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int BorderWidth = 10;
constexpr int EditFontPixels = 16;
} // namespace

TtcenterF::TtcenterF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("tcenterF"));
    setWindowTitle(QStringLiteral("tcenterF"));
}

// The controls are made when the window is first shown or used.
void TtcenterF::build() {
    if (Label1)
        return;
    Label1 = new QLabel(QStringLiteral("Enter Locate Point"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    tcdata = new TimecodeEdit(this);
    tcdata->setObjectName(QStringLiteral("tcdata"));
    QFont font = tcdata->font();
    font.setPixelSize(EditFontPixels);
    tcdata->setFont(font);
    tcdata->setTimecode(QStringLiteral("  :  :  :  "));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(BorderWidth, BorderWidth, BorderWidth, BorderWidth);
    box->addWidget(Label1);
    box->addWidget(tcdata);
    box->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    box->setSizeConstraint(QLayout::SetFixedSize); // sizes itself to its contents
}

void TtcenterF::setVisible(bool visible) {
    if (visible)
        build(); // before the dialog sizes itself
    QDialog::setVisible(visible);
}

TimecodeEdit* TtcenterF::entry() {
    build();
    return tcdata;
}
