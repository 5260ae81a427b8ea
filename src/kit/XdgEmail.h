#pragma once
#include "kit/Launcher.h"
#include "kit/MailService.h"

#include <QObject>

#include <functional>

// The mail service on Linux: xdg-email, looked for on the PATH at every send, which opens the
// user's mail composer with the message filled in. There is no mail profile, so there is no
// logon. What xdg-email cannot do is refused with "Not supported" (26) rather than pretended:
// looking names up in an address book, asking for a receipt, and sending without showing the
// composer. Display names of attachments and the sender cannot be passed on: the composer
// shows the files' own names and sends from the user's account. When xdg-email is missing,
// every call answers 1, as a function that cannot be found does.
//
// xdg-email's exit status becomes a result code:
//   0 -> 0 (the composer has the mail)      3 (no mail program) -> 26 Not supported
//   1 (command line refused) -> 2           4 (the composer failed) -> 2
//   2 (attachment missing) -> 11            5 (attachment unreadable) -> 12
//   any other status, a crash or a failed start -> 2
namespace zeltra::mail {

// xdg-email's arguments for a message: each value one argument of its own.
QStringList xdgEmailArguments(const Message& message);
// The result code for xdg-email's outcome.
int resultOf(const launch::Outcome& outcome);

class XdgEmailService : public QObject, public MailService {
public:
    static constexpr int ComposerWait = 3000; // ms to wait for xdg-email's own answer

    explicit XdgEmailService(QObject* parent = nullptr) : QObject(parent) {}
    int logon(const QString&) override;
    int logoff() override;
    int resolveName(const QString& line, bool dialog, Recipient& resolved) override;
    int sendMail(const Message& message, const SendFlags& flags) override;

    // Why the last send failed, in xdg-email's words; empty after success.
    QString detail() const override { return detail_; }
    // Told when xdg-email, still running after ComposerWait, ends with a failure later.
    std::function<void(int result, const QString& detail)> lateFailure;
    QString program = QStringLiteral("xdg-email");

private:
    bool present() const;
    QString detail_;
};

} // namespace zeltra::mail
