#pragma once
#include "model/Images.h"
#include "model/Timecode.h"

#include <QString>
#include <array>
#include <cstdint>

// The GPO, cue and loop tables of a machine layout as the table window shows them: up to four
// grids of eight rows, each row a label, a timecode text and a clip number text. Filling the
// grids from the image and writing them back are plain conversions, tested without a window.
namespace zeltra::tables {

enum Mode : int { Gpo = 1, Cues = 2, Loops = 3 };
constexpr int GridCount = 4;
constexpr int GridRows = 8; // data rows 1..8 under the title row
constexpr int LabelWidth = 40;
constexpr int TimecodeWidth = 60;
constexpr int ClipWidth = 22;

struct GridLayout {
    bool visible = false;
    QString title;       // the label centred over the grid
    int rows = 0;        // with the title row
    QString firstTitle;  // "Output", "Locate", "Loop"
    QString secondTitle; // "Timecode", "Before In"
    std::array<QString, GridRows> labels;
};

struct Layout {
    QString caption;
    std::array<GridLayout, GridCount> grids;
    bool clipColumn = false; // the table has clip numbers and the option shows them
    int clipWidth = 0;       // ClipWidth when shown, else 0
};

// The layout of a mode; any mode other than 1..3 is taken as GPO.
Layout layout(int mode, bool showClip);

struct Cell {
    QString timecode;
    QString clip;
    bool operator==(const Cell&) const = default;
};
// grids[g][r - 1] is row r of grid g + 1.
using Grids = std::array<std::array<Cell, GridRows>, GridCount>;

struct Place {
    int grid; // 0..3
    int row;  // 1..8
    bool operator==(const Place&) const = default;
};
// Where an entry stands: cue k in grid k div 8, row k mod 8 + 1; loop k's In row in grid
// k div 4, row 2 (k mod 4) + 1, its Out row below; GPO 0..7 in the first grid, 8..11 in the
// second.
Place cuePlace(int k);
Place loopPlace(int k);
Place gpoPlace(int k);

// The cells of a mode's table. Clip numbers stand on cue rows and loop In rows (bytes 8..9 of
// a loop, high byte first); a loop's Out row has an empty clip cell.
Grids fill(const MachineImage& image, int mode);

// Writes every cell of a mode's table back into the image. A timecode cell still holding the
// text its bytes show keeps the bytes (a stored nibble above 9 is not lost); any other text is
// converted digit pair by digit pair. A clip cell that is not a number stores 1; a number that
// does not fit two bytes keeps the entry's clip bytes as they were.
void writeBack(const Grids& grids, int mode, MachineImage& image);

// "Reset All": every timecode cell "00:00:00:00", every clip cell "0".
void resetAll(Grids& grids);
// "1 to All": rows 1..8 of every grid take row 1 of the first grid (for loops: odd rows row 1,
// even rows row 2, the timecodes; the clip of row 1 everywhere).
void oneToAll(Grids& grids, int mode);

// The row "Save" moves on to: the next one, never past row 8, nor past row 4 of the GPO
// "Before In" grid.
int nextRow(int mode, int grid, int row);

// Whether row `row` (1..8) of a mode's grids has a clip number: every cue row and the In row
// of a loop.
bool hasClip(int mode, int row);

// A clip cell's text as a number.
enum class ClipKind { Number, NotNumber, OutOfRange };
struct Clip {
    ClipKind kind = ClipKind::NotNumber;
    std::uint16_t value = 1;
};
// Decimal, surrounding blanks ignored. Anything else is no number (stored as 1); a number
// below 0 or above 65535 is out of range.
Clip clipFromText(const QString& text);
// The message the clip edit shows when it refuses a number.
QString clipRangeMessage(const QString& text);

// The bytes a timecode edit stands for: the old bytes while its text is still the text it was
// given, else the text converted.
timecode::Bcd edited(const timecode::Bcd& old, const QString& shown, const QString& now);

} // namespace zeltra::tables
