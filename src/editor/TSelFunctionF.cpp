#include "editor/TSelFunctionF.h"

#include "kit/TQveButton.h"
#include "model/KeyFaces.h"

TSelFunctionF::TSelFunctionF(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelFunctionF"));
    setWindowTitle(QStringLiteral("SelFunctionF"));
}

int TSelFunctionF::findfunction(int code)
{
    const auto table = zeltra::functionTable(ListKind);
    const int row = zeltra::findfunction(table, code);
    Current = table[std::size_t(row)];
    return row;
}

void TSelFunctionF::setkeyfunction(TQveButton* button)
{
    Tag = button->Tag();
    findfunction(Tag);
    const zeltra::KeyFace face = zeltra::keyFace(ListKind, Tag);
    button->setCaption(face.caption);
    button->Colors()->setColor(TQvColors::Fill_Lit, face.fill);
    settextcolour(button);
    button->setHint(face.hint);
    if (updmacrolable)
        updmacrolable();
}

void TSelFunctionF::settextcolour(TQveButton* button)
{
    button->Colors()->setColor(TQvColors::Text_Lit,
                               zeltra::litTextColour(button->Colors()->color(TQvColors::Fill_Lit)));
}
