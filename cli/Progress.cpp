#include "Progress.h"

#include <algorithm>

namespace zeltra::cli {

namespace {
constexpr int RedrawMs = 100; // a terminal gets at most this many redraws of every bar
}

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

Progress::Progress(std::FILE* out, bool terminal, const QStringList& ports)
    : out_(out), terminal_(terminal), names_(ports)
{
    lines_.resize(std::max<qsizetype>(ports.size(), 1));
}

QString Progress::prefix(int port) const
{
    return names_.size() > 1 ? names_[port] + QStringLiteral(": ") : QString();
}

void Progress::update(int port, const QString& caption, int done, int total)
{
    if (port < 0 || port >= lines_.size())
        return;
    Line& l = lines_[port];
    const bool newStep = caption != l.caption;
    l.caption = caption;
    l.done = done;
    l.total = total;
    if (terminal_) {
        if (newStep || done >= total || !sinceDrawn_.isValid() || sinceDrawn_.elapsed() >= RedrawMs)
            redraw();
        return;
    }
    const int quarter = total > 0 ? std::clamp(done, 0, total) * 4 / total : 4;
    if (!newStep && quarter == l.lastQuarter)
        return;
    l.lastQuarter = quarter;
    const int shown = total > 0 ? std::clamp(done, 0, total) : 0;
    const QString line = QStringLiteral("%1%2%  %3/%4  %5")
                             .arg(prefix(port))
                             .arg(total > 0 ? shown * 100 / total : 100)
                             .arg(shown)
                             .arg(total)
                             .arg(caption);
    std::fprintf(out_, "%s\n", line.toLocal8Bit().constData());
    std::fflush(out_);
}

// Back up over the lines drawn last, and each line cleared before it is drawn again, so a
// shorter caption leaves nothing behind.
void Progress::redraw()
{
    if (drawn_ > 0)
        std::fprintf(out_, "\033[%dA", drawn_);
    for (int i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        const QString bar = l.caption.isEmpty() && l.total == 0
                                ? QStringLiteral("waiting")
                                : barLine(l.caption, l.done, l.total);
        std::fprintf(out_, "\r\033[K%s\n", (prefix(i) + bar).toLocal8Bit().constData());
    }
    std::fflush(out_);
    drawn_ = int(lines_.size());
    sinceDrawn_.start();
}

void Progress::finish()
{
    if (terminal_ && drawn_ > 0)
        redraw();
}

} // namespace zeltra::cli
