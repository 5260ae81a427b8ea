#pragma once
#include "model/Colours.h"

#include <QObject>
#include <array>

// The fourteen colours of a lit button: fill, ring and text for each of the four lit
// states, then the fill and ring of the disabled look.
class TQvColors : public QObject {
    Q_OBJECT
public:
    enum Index {
        Fill_Off = 0, Fill_Dim1, Fill_Dim2, Fill_Lit,
        Ring_Off, Ring_Dim1, Ring_Dim2, Ring_Lit,
        Text_Off, Text_Dim1, Text_Dim2, Text_Lit,
        Fill_Disabled, Ring_Disabled,
        Count
    };

    explicit TQvColors(QObject* parent = nullptr);

    // An index outside 0..13 reads as black.
    zeltra::Colour color(int index) const;
    // Stores the colour and emits OnChange, unless it equals the stored one or the index is
    // outside 0..13.
    void setColor(int index, zeltra::Colour c);
    // Copies all fourteen colours without emitting OnChange.
    void assign(const TQvColors& other);

signals:
    void OnChange(TQvColors* sender);

private:
    std::array<zeltra::Colour, Count> colours_;
};
