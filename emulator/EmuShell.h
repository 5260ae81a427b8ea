#pragma once
#include "EmuCore.h"
#include "Pty.h"
#include "link/RxRing.h"

#include <QByteArray>
#include <QString>

namespace zeltra::emu {

struct ShellOptions {
    QString link;       // symlink to the pseudo-terminal, may be empty
    QString eepromFile; // loaded at start when present, saved after every write
    std::uint8_t fill = ErasedByte;
    AnswerMode mode = AnswerMode::Normal;
    QByteArray garbage; // sent before every answer
    int split = 0;      // answer pieces of at most this many bytes, 0: whole
    int splitGapMs = 2;
    int delayMs = 0; // before every answer
    int lineRate = 0;     // baud: bytes take 11 bits each way; 0: as fast as the pty goes
    int writeDelayMs = 0; // the EEPROM's write time, before a write is acknowledged
    int corruptEvery = 0; // every nth written byte is stored wrongly
};

// Runs the keyboard on a pseudo-terminal until SIGINT, SIGTERM or SIGHUP.
class EmuShell {
  public:
    explicit EmuShell(ShellOptions options) : options_(std::move(options)) {}
    // Exit status: 0 after a signal, 1 on a failure (reported on stderr).
    int run();

  private:
    bool loadEeprom();
    void saveEeprom();
    void handle(const QByteArray& frame);
    void send(const QByteArray& bytes, const char* what);
    void pause(int ms) const;
    // Bytes take their time on the line at the line rate: `bytes` more go through after
    // what is already on it, and this waits until the last of them is through.
    void lineTime(qsizetype bytes);

    ShellOptions options_;
    Eeprom eeprom_;
    Pty pty_;
    zeltra::link::RxRing ring_;
    Corruption corruption_;
    long long lineFreeNs_ = 0; // when the line has carried everything so far
};

} // namespace zeltra::emu
