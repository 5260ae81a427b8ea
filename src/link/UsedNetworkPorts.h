#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The network ports zeltra-cli has opened, newest first, for `zeltra-cli ports`: one address
// a line in $XDG_STATE_HOME/zeltra/network-ports (default ~/.local/state/zeltra/). Only
// addresses that parse are kept, at most MaxPorts of them.
namespace zeltra::link::usedports {

constexpr int MaxPorts = 16;

// The file; empty when neither XDG_STATE_HOME nor HOME names a folder.
QString filePath(const QProcessEnvironment& env);

// The addresses in the file's text, checked: lines that are no network address are dropped.
QStringList parse(const QByteArray& text);
QStringList read(const QString& path);

// The list with `address` at its head, once.
QStringList added(const QStringList& list, const QString& address);

// Writes the list with `address` at its head; empty on success, else the reason.
QString remember(const QString& path, const QString& address);

} // namespace zeltra::link::usedports
