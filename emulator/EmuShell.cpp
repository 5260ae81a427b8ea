#include "EmuShell.h"

#include "link/Frames.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

namespace zeltra::emu {
namespace {

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

void complain(const QString& line)
{
    std::fprintf(stderr, "zeltra-emu: %s\n", line.toLocal8Bit().constData());
}

// Termination signalFd arrive as a readable descriptor, so the loop ends cleanly.
int terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return signalfd(-1, &set, SFD_CLOEXEC);
}

} // namespace

bool EmuShell::loadEeprom()
{
    eeprom_ = Eeprom(options_.fill);
    if (options_.eepromFile.isEmpty() || !QFile::exists(options_.eepromFile))
        return true;
    QFile file(options_.eepromFile);
    if (!file.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("cannot read %1: %2").arg(options_.eepromFile, file.errorString()));
        return false;
    }
    const auto loaded = Eeprom::fromBytes(file.read(BlockCount * BlockBytes + 1));
    if (!loaded) {
        complain(QStringLiteral("%1 is not an EEPROM file of %2 bytes")
                     .arg(options_.eepromFile)
                     .arg(BlockCount * BlockBytes));
        return false;
    }
    eeprom_ = *loaded;
    return true;
}

void EmuShell::saveEeprom()
{
    if (options_.eepromFile.isEmpty())
        return;
    QSaveFile file(options_.eepromFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(eeprom_.toBytes()) < 0 || !file.commit())
        complain(QStringLiteral("cannot save %1: %2").arg(options_.eepromFile, file.errorString()));
}

void EmuShell::pause(int ms) const
{
    if (ms <= 0)
        return;
    timespec t{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

void EmuShell::lineTime(qsizetype bytes)
{
    if (options_.lineRate <= 0 || bytes <= 0)
        return;
    constexpr long long BitsPerByte = 11; // start, 8 data, parity, stop
    constexpr long long Second = 1000000000LL;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long nowNs = now.tv_sec * Second + now.tv_nsec;
    // One deadline for the whole exchange, so the waits do not add up their oversleeping.
    lineFreeNs_ = std::max(lineFreeNs_, nowNs) + bytes * BitsPerByte * Second / options_.lineRate;
    const timespec until{time_t(lineFreeNs_ / Second), long(lineFreeNs_ % Second)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

void EmuShell::send(const QByteArray& bytes, const char* what)
{
    const auto pieces = splitBytes(bytes, options_.split);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            pause(options_.splitGapMs);
        lineTime(pieces[i].size()); // the bytes arrive at the far end when the last is through
        if (::write(pty_.master, pieces[i].constData(), size_t(pieces[i].size())) !=
            pieces[i].size())
            complain(QStringLiteral("write failed: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    say(QStringLiteral("->%1%2").arg(QString::fromLatin1(what), zeltra::link::traceText(bytes)));
}

void EmuShell::handle(const QByteArray& frame)
{
    say(QStringLiteral("<-%1").arg(zeltra::link::traceText(frame)));
    const auto answers = respond(frame, eeprom_, options_.mode, &corruption_);
    if (std::uint8_t(frame[1]) == zeltra::link::CmdWrite) {
        saveEeprom();
        pause(options_.writeDelayMs);
    }
    for (const auto& answer : answers) {
        pause(options_.delayMs);
        if (!options_.garbage.isEmpty())
            send(options_.garbage, " garbage");
        send(answer, "");
    }
}

int EmuShell::run()
{
    if (!loadEeprom())
        return 1;
    QString error;
    auto pty = openRawPty(error);
    if (!pty) {
        complain(QStringLiteral("no pseudo-terminal: %1").arg(error));
        return 1;
    }
    pty_ = *pty;
    if (!options_.link.isEmpty() && !makeLink(options_.link, pty_.path, error)) {
        complain(QStringLiteral("cannot link %1: %2").arg(options_.link, error));
        closePty(pty_);
        return 1;
    }
    corruption_.every = options_.corruptEvery;
    const int signalFd = terminationSignals();
    say(QStringLiteral("pty: %1").arg(pty_.path));
    if (!options_.link.isEmpty())
        say(QStringLiteral("link: %1").arg(options_.link));

    int status = 0;
    for (;;) {
        pollfd fds[2] = {{pty_.master, POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            status = 1;
            break;
        }
        if (fds[1].revents)
            break;
        char buffer[256];
        const ssize_t n = ::read(pty_.master, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            complain(QStringLiteral("line closed"));
            status = 1;
            break;
        }
        lineTime(n); // what came in at once took its time on the line
        for (ssize_t i = 0; i < n; ++i) {
            ring_.push(std::uint8_t(buffer[i]));
            ring_.scan([this](const QByteArray& frame) { handle(frame); });
        }
    }
    if (!options_.link.isEmpty())
        removeLink(options_.link, pty_.path);
    closePty(pty_);
    if (signalFd >= 0)
        ::close(signalFd);
    return status;
}

} // namespace zeltra::emu
