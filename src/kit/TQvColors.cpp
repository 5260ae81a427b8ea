#include "kit/TQvColors.h"

TQvColors::TQvColors(QObject* parent) : QObject(parent)
{
    using namespace zeltra;
    colours_ = {clSilver, clSilver, clSilver, clSilver, clBlack, clBlack, clBlack,
                clBlack,  clBlack,  clBlack,  clBlack,  clBlack, clSilver, clGray};
}

zeltra::Colour TQvColors::color(int index) const { return colours_.at(std::size_t(index)); }

void TQvColors::setColor(int index, zeltra::Colour c)
{
    auto& slot = colours_.at(std::size_t(index));
    if (slot == c)
        return;
    slot = c;
    emit OnChange(this);
}

void TQvColors::assign(const TQvColors& other) { colours_ = other.colours_; }
