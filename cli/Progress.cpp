#include "Progress.h"

#include <algorithm>

namespace zeltra::cli {

QString barLine(const QString& caption, int done, int total, int width)
{
    const int shown = total > 0 ? std::clamp(done, 0, total) : 0;
    const int filled = total > 0 ? shown * width / total : 0;
    const int percent = total > 0 ? shown * 100 / total : 100;
    return QStringLiteral("[%1%2] %3%  %4/%5  %6")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
        .arg(percent, 3)
        .arg(shown)
        .arg(total)
        .arg(caption);
}

void Progress::update(const QString& caption, int done, int total)
{
    if (terminal_) {
        // Back to the line's start and clear it, so a shorter caption leaves nothing behind.
        std::fprintf(out_, "\r\033[K%s", barLine(caption, done, total).toLocal8Bit().constData());
        std::fflush(out_);
        barShown_ = true;
        return;
    }
    const int quarter = total > 0 ? std::clamp(done, 0, total) * 4 / total : 4;
    if (caption == lastCaption_ && quarter == lastQuarter_)
        return;
    lastCaption_ = caption;
    lastQuarter_ = quarter;
    const int shown = total > 0 ? std::clamp(done, 0, total) : 0;
    const QString line = QStringLiteral("%1%  %2/%3  %4")
                             .arg(total > 0 ? shown * 100 / total : 100)
                             .arg(shown)
                             .arg(total)
                             .arg(caption);
    std::fprintf(out_, "%s\n", line.toLocal8Bit().constData());
    std::fflush(out_);
}

void Progress::finish()
{
    if (terminal_ && barShown_)
        std::fprintf(out_, "\n");
    barShown_ = false;
}

} // namespace zeltra::cli
