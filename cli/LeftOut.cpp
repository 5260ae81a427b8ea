#include "LeftOut.h"

#include "model/Images.h"

#include <QMap>
#include <algorithm>

namespace zeltra::cli {
namespace {

// The record a refused byte belongs to, and its offset in the image.
struct Place {
    QString kind;
    int number;
    std::size_t offset;
    QString record() const { return QStringLiteral("%1 %2").arg(kind).arg(number); }
};

Place placeOf(link::RefusedByte r)
{
    const auto c = std::size_t(r.address);
    if (r.block == 3) // only a monitor upload refuses in block 3
        return {QStringLiteral("format slot"), int(c) + 1, mon::FormatAssign + c};
    if (r.block == 7)
        return {QStringLiteral("GPO"), int(c / mcn::GpoSize) + 1, mcn::Gpos + c};
    return {QStringLiteral("cue"), int(c / mcn::CueSize) + 1, mcn::Cues + c};
}

QString hex(std::uint8_t b)
{
    return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

std::uint8_t keptByte(const LayoutData& kept, link::RefusedByte r)
{
    const std::size_t at = placeOf(r).offset;
    if (r.block == 3)
        return at < mon::Size ? kept.MonImage.bytes[at] : 0;
    return at < mcn::Size ? kept.McnImage.bytes[at] : 0;
}

} // namespace

QList<link::RefusedByte> distinctRefused(const QList<link::RefusedByte>& refused)
{
    QList<link::RefusedByte> out;
    for (const link::RefusedByte& r : refused) {
        auto same = std::find_if(out.begin(), out.end(), [&](const link::RefusedByte& o) {
            return o.block == r.block && o.address == r.address;
        });
        if (same == out.end())
            out << r;
        else
            *same = r;
    }
    return out;
}

QStringList leftOutLines(const QList<link::RefusedByte>& refused, const LayoutData& kept,
                         bool newFile)
{
    QStringList lines;
    for (const link::RefusedByte& r : refused) {
        const QString why = r.block == 3 ? QStringLiteral("names no format memory")
                                         : QStringLiteral("is not a timecode digit pair");
        lines << QStringLiteral("block %1 address %2: the keyboard's %3 %4; %5 keeps %6 %7")
                     .arg(r.block)
                     .arg(r.address)
                     .arg(hex(r.value), why, placeOf(r).record(),
                          newFile ? QStringLiteral("the new file's default")
                                  : QStringLiteral("the file's own"),
                          hex(keptByte(kept, r)));
    }
    return lines;
}

QString incompleteLine(const QList<link::RefusedByte>& refused, const QString& file, bool newFile)
{
    // "cue 1-32, GPO 3, GPO 5-6": each kind of record with its numbers in runs.
    QMap<QString, QList<int>> numbers;
    for (const link::RefusedByte& r : refused) {
        const Place p = placeOf(r);
        QList<int>& list = numbers[p.kind];
        if (!list.contains(p.number))
            list << p.number;
    }
    QStringList runs;
    for (const QString& kind : {QStringLiteral("cue"), QStringLiteral("GPO"), QStringLiteral("format slot")}) {
        QList<int> list = numbers.value(kind);
        std::sort(list.begin(), list.end());
        for (qsizetype i = 0; i < list.size();) {
            qsizetype j = i;
            while (j + 1 < list.size() && list[j + 1] == list[j] + 1)
                ++j;
            runs << (j == i ? QStringLiteral("%1 %2").arg(kind).arg(list[i])
                            : QStringLiteral("%1 %2-%3").arg(kind).arg(list[i]).arg(list[j]));
            i = j + 1;
        }
    }
    return QStringLiteral("backup incomplete: %1 bytes the keyboard holds are not in %2: %3 there "
                          "hold %4, not the keyboard's (--exact keeps every byte as read)")
        .arg(refused.size())
        .arg(file, runs.join(QStringLiteral(", ")),
             newFile ? QStringLiteral("the new file's defaults") : QStringLiteral("the file's own bytes"));
}

} // namespace zeltra::cli
