#pragma once
#include <QString>
#include <cstdint>
#include <cstdio>

// Progress of a transfer on stderr: a bar redrawn in place on a terminal, plain lines
// otherwise (a log or a pipe gets a line per block and one every quarter).
namespace zeltra::cli {

// "[##########..........]  50%  240/480  Download Locate cue points"
QString barLine(const QString& caption, int done, int total, int width = 30);

class Progress {
  public:
    Progress(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}
    void update(const QString& caption, int done, int total);
    // Ends the bar's line on a terminal.
    void finish();

  private:
    std::FILE* out_;
    bool terminal_;
    QString lastCaption_;
    int lastQuarter_ = -1;
    bool barShown_ = false;
};

} // namespace zeltra::cli
