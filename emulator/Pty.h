#pragma once
#include <QString>
#include <optional>

// The emulator's end of the line: a raw pseudo-terminal whose slave side the program opens.
namespace zeltra::emu {

struct Pty {
    int master = -1;
    int slave = -1; // held open, so the master never sees a hang-up while the program is away
    QString path;   // the slave device, for example /dev/pts/3
};

// Raw mode is set before the slave exists, so nothing sent early is translated.
// Nothing on failure, with the reason in `error`.
std::optional<Pty> openRawPty(QString& error);
void closePty(Pty& pty);

// Points `link` at `target`, replacing an older symlink; never replaces anything else.
bool makeLink(const QString& link, const QString& target, QString& error);
// Removes `link` when it still points at `target`.
void removeLink(const QString& link, const QString& target);

} // namespace zeltra::emu
