// Placeholder: the picker is being written in its own change.
#include "link/TComNumberF.h"

#include <QComboBox>

TComNumberF::TComNumberF(QWidget* parent) : QDialog(parent), combo_(new QComboBox(this))
{
    setObjectName(QStringLiteral("ComNumberF"));
    setWindowTitle(QStringLiteral("Select Com Port"));
    combo_->setEditable(true);
    combo_->setEditText(QStringLiteral("Com1"));
}

QString TComNumberF::comboText() const { return combo_->currentText(); }
