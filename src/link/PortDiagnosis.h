#pragma once
#include <QString>
#include <QStringList>

// Why a serial device does not open, found out from the system (stat, the permission bits,
// the lock files of /var/lock and its kin), put in words that tell the user what to do.
namespace zeltra::link {

struct PortDiagnosis {
    enum class Reason { None, NoDevice, Missing, PermissionDenied, Held, NotSerial, Other };
    Reason reason = Reason::None;
    int number = 0;            // the port number tried
    QString path;              // the device tried; empty when the number names none
    QString group;             // PermissionDenied: the group that owns the device
    bool groupPending = false; // the user is listed in that group, but not in this login
    QString user;              // PermissionDenied: the user to add
    QString holder;            // Held: the program holding the port, when known
    qint64 holderPid = 0;      // Held: its process number, when known
    QString systemError;       // Other: what the system said

    // One line: the device tried, the reason and what to do.
    QString text() const;
    // A few words for the port list: "no permission (group dialout)"; empty for None.
    QString note() const;
};

// Where programs leave their "LCK..<device>" files, in the order they are looked at.
QStringList defaultLockFolders();

// `systemError` is what the failed open said, if it was tried; it names the reason when the
// system shows none of its own.
PortDiagnosis diagnosePort(int number, const QString& path, const QString& systemError = {},
                           const QStringList& lockFolders = defaultLockFolders());

// The second line of "Com Port Invalid": the diagnosis of port `number` as this program maps
// it to a device (ComPorts.h), after an open that failed with `systemError`.
QString portFailureText(int number, const QString& systemError);

// The holder a lock file for `path` names, when that process is alive.
struct LockHolder {
    qint64 pid = 0;
    QString name;
};
LockHolder lockHolder(const QString& path, const QStringList& lockFolders);

// The "LCK..name" file names used for a device: the device's own name ("LCK..ttyUSB0") and
// the name with its folders ("LCK..pts_3" for /dev/pts/3).
QStringList lockFileNames(const QString& path);

} // namespace zeltra::link
