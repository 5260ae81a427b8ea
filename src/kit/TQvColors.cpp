#include "kit/TQvColors.h"

namespace {
bool validIndex(int index) { return index >= 0 && index < TQvColors::Count; }
} // namespace

TQvColors::TQvColors(QObject* parent) : QObject(parent)
{
    using namespace zeltra;
    colours_ = {clSilver, clSilver, clSilver, clSilver, clBlack, clBlack, clBlack,
                clBlack,  clBlack,  clBlack,  clBlack,  clBlack, clSilver, clGray};
}

zeltra::Colour TQvColors::color(int index) const
{
    return validIndex(index) ? colours_[std::size_t(index)] : zeltra::clBlack;
}

void TQvColors::setColor(int index, zeltra::Colour c)
{
    if (!validIndex(index))
        return;
    auto& slot = colours_[std::size_t(index)];
    if (slot == c)
        return;
    slot = c;
    emit OnChange(this);
}

void TQvColors::assign(const TQvColors& other) { colours_ = other.colours_; }
