#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>

// Progress of transfers on stderr, one line per port: bars redrawn in place on a terminal,
// plain lines otherwise (a log or a pipe gets a line per block and one every quarter). With
// several ports each line starts with its port's name.
namespace zeltra::cli {

// "[##########..........]  50%  240/480  Download Locate cue points"
QString barLine(const QString& caption, int done, int total, int width = 30);

class Progress {
  public:
    Progress(std::FILE* out, bool terminal, const QStringList& ports = {QString()});
    void update(int port, const QString& caption, int done, int total);
    // Draws the bars as they stand last.
    void finish();

  private:
    struct Line {
        QString caption;
        int done = 0;
        int total = 0;
        int lastQuarter = -1;
    };
    QString prefix(int port) const;
    void redraw();

    std::FILE* out_;
    bool terminal_;
    QStringList names_;
    QList<Line> lines_;
    int drawn_ = 0; // lines on the terminal that the next redraw goes back over
    QElapsedTimer sinceDrawn_;
};

} // namespace zeltra::cli
