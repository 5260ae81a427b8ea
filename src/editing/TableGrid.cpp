#include "editing/TableGrid.h"

#include "model/Records.h"

#include <QRegularExpression>
#include <algorithm>
#include <span>

namespace zeltra::tables {

namespace {
using timecode::Bcd;
constexpr int GpoAbsolute = 8;
constexpr int GpoBeforeInRows = 4;
const QString ZeroTimecode = QStringLiteral("00:00:00:00");

int checkedMode(int mode) {
    return (mode == Cues || mode == Loops) ? mode : Gpo;
}

GridLayout grid(const QString& title, int rows, const QString& first, const QString& second) {
    GridLayout g;
    g.visible = true;
    g.title = title;
    g.rows = rows;
    g.firstTitle = first;
    g.secondTitle = second;
    return g;
}

Layout gpoLayout() {
    Layout l;
    l.caption = QStringLiteral("GPO Setup");
    l.grids[0] =
        grid(QStringLiteral("Absolute"), 9, QStringLiteral("Output"), QStringLiteral("Timecode"));
    l.grids[1] = grid(QStringLiteral("Relative to Rec In"), 5, QStringLiteral("Output"),
                      QStringLiteral("Before In"));
    for (int k = 0; k < mcn::GpoCount; ++k) {
        const Place p = gpoPlace(k);
        l.grids[std::size_t(p.grid)].labels[std::size_t(p.row - 1)] =
            QStringLiteral("GPO-%1").arg(k + 1);
    }
    return l;
}

Layout cueLayout() {
    Layout l;
    l.caption = QStringLiteral("Cue Setup");
    for (int g = 0; g < GridCount; ++g)
        l.grids[std::size_t(g)] =
            grid(QStringLiteral("Locates %1-%2").arg(g * 8 + 1).arg(g * 8 + 8), 9,
                 QStringLiteral("Locate"), QStringLiteral("Timecode"));
    for (int k = 0; k < mcn::CueCount; ++k) {
        const Place p = cuePlace(k);
        l.grids[std::size_t(p.grid)].labels[std::size_t(p.row - 1)] =
            QStringLiteral("Cue %1").arg(k + 1);
    }
    return l;
}

Layout loopLayout() {
    Layout l;
    l.caption = QStringLiteral("Loop Setup");
    for (int g = 0; g < GridCount; ++g)
        l.grids[std::size_t(g)] = grid(QStringLiteral("Loop %1-%2").arg(g * 4 + 1).arg(g * 4 + 4),
                                       9, QStringLiteral("Loop"), QStringLiteral("Timecode"));
    for (int k = 0; k < mcn::LoopCount; ++k) {
        const Place p = loopPlace(k);
        auto& labels = l.grids[std::size_t(p.grid)].labels;
        labels[std::size_t(p.row - 1)] = QStringLiteral("%1 In").arg(k + 1);
        labels[std::size_t(p.row)] = QStringLiteral("%1 Out").arg(k + 1);
    }
    return l;
}

Cell& cell(Grids& grids, Place p) {
    return grids[std::size_t(p.grid)][std::size_t(p.row - 1)];
}
const Cell& cell(const Grids& grids, Place p) {
    return grids[std::size_t(p.grid)][std::size_t(p.row - 1)];
}

QString text(const Bcd& t) {
    return timecode::toText(t);
}

// The timecode a cell's text stands for, over the bytes it showed.
Bcd timecodeOf(const Bcd& old, const QString& cellText) {
    return edited(old, timecode::toText(old), cellText);
}

// A clip text that does not fit keeps the clip as it was.
template <class Set> void storeClip(const QString& cellText, Set set) {
    const Clip clip = clipFromText(cellText);
    if (clip.kind != ClipKind::OutOfRange)
        set(clip.value);
}
} // namespace

Layout layout(int mode, bool showClip) {
    Layout l;
    switch (checkedMode(mode)) {
    case Cues:
        l = cueLayout();
        break;
    case Loops:
        l = loopLayout();
        break;
    default:
        l = gpoLayout();
        break;
    }
    l.clipColumn = checkedMode(mode) != Gpo && showClip;
    l.clipWidth = l.clipColumn ? ClipWidth : 0;
    return l;
}

Place cuePlace(int k) {
    return {k / 8, k % 8 + 1};
}
Place loopPlace(int k) {
    return {k / 4, 2 * (k % 4) + 1};
}
Place gpoPlace(int k) {
    return k < GpoAbsolute ? Place{0, k + 1} : Place{1, k - GpoAbsolute + 1};
}

Grids fill(const MachineImage& image, int mode) {
    Grids grids;
    switch (checkedMode(mode)) {
    case Cues:
        for (int k = 0; k < mcn::CueCount; ++k) {
            const auto cue = records::cue(image, k);
            cell(grids, cuePlace(k)) = {text(cue.timecode()), QString::number(cue.number())};
        }
        break;
    case Loops:
        for (int k = 0; k < mcn::LoopCount; ++k) {
            const auto loop = records::loop(image, k);
            const Place in = loopPlace(k);
            cell(grids, in) = {text(loop.in()), QString::number(loop.clip())};
            cell(grids, {in.grid, in.row + 1}) = {text(loop.out()), QString()};
        }
        break;
    default:
        for (int k = 0; k < mcn::GpoCount; ++k)
            cell(grids, gpoPlace(k)).timecode = text(records::gpo(image, k).timecode());
        break;
    }
    return grids;
}

void writeBack(const Grids& grids, int mode, MachineImage& image) {
    switch (checkedMode(mode)) {
    case Cues:
        for (int k = 0; k < mcn::CueCount; ++k) {
            auto cue = records::cue(image, k);
            const Cell& c = cell(grids, cuePlace(k));
            cue.setTimecode(timecodeOf(cue.timecode(), c.timecode));
            storeClip(c.clip, [&cue](std::uint16_t n) { cue.setNumber(n); });
        }
        break;
    case Loops:
        for (int k = 0; k < mcn::LoopCount; ++k) {
            auto loop = records::loop(image, k);
            const Place in = loopPlace(k);
            loop.setIn(timecodeOf(loop.in(), cell(grids, in).timecode));
            loop.setOut(timecodeOf(loop.out(), cell(grids, {in.grid, in.row + 1}).timecode));
            storeClip(cell(grids, in).clip, [&loop](std::uint16_t n) { loop.setClip(n); });
        }
        break;
    default:
        for (int k = 0; k < mcn::GpoCount; ++k) {
            auto gpo = records::gpo(image, k);
            gpo.setTimecode(timecodeOf(gpo.timecode(), cell(grids, gpoPlace(k)).timecode));
        }
        break;
    }
}

void resetAll(Grids& grids) {
    for (auto& g : grids)
        for (Cell& c : g)
            c = {ZeroTimecode, QStringLiteral("0")};
}

void oneToAll(Grids& grids, int mode) {
    const Cell first = grids[0][0];
    const Cell second = grids[0][1];
    const bool loops = checkedMode(mode) == Loops;
    for (auto& g : grids)
        for (int r = 0; r < GridRows; ++r) {
            Cell& c = g[std::size_t(r)];
            c.timecode = (loops && r % 2 == 1) ? second.timecode : first.timecode;
            c.clip = first.clip;
        }
}

int nextRow(int mode, int grid, int row) {
    const int last = (checkedMode(mode) == Gpo && grid == 1) ? GpoBeforeInRows : GridRows;
    return std::clamp(row + 1, 1, last);
}

bool hasClip(int mode, int row) {
    const int m = checkedMode(mode);
    return m == Cues || (m == Loops && row % 2 == 1);
}

Clip clipFromText(const QString& text) {
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok, 10);
    if (!ok) {
        // Digits beyond what any integer holds are still a number, just far out of range.
        const QString t = text.trimmed();
        static const QRegularExpression longNumber(QStringLiteral("^[+-]?[0-9]+$"));
        if (!t.isEmpty() && longNumber.match(t).hasMatch())
            return {ClipKind::OutOfRange, 0};
        return {ClipKind::NotNumber, 1};
    }
    if (n < 0 || n > 0xFFFF)
        return {ClipKind::OutOfRange, 0};
    return {ClipKind::Number, std::uint16_t(n)};
}

QString clipRangeMessage(const QString& text) {
    return QStringLiteral("The clip number %1 does not fit: clip numbers go from 0 to 65535. "
                          "The row was not changed.")
        .arg(text.trimmed());
}

timecode::Bcd edited(const timecode::Bcd& old, const QString& shown, const QString& now) {
    return now == shown ? old : timecode::fromText(now);
}

} // namespace zeltra::tables
