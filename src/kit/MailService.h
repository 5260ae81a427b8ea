#pragma once
#include <QString>
#include <QStringList>
#include <QList>

// The platform's mail service as TMAPIMail uses it: log on to a profile, resolve names, hand a
// message to the mail client, log off. Every call returns a mail result code (0 success, the
// codes of TMAPIMail's error table otherwise). A service that lacks a function answers 1.
namespace zeltra::mail {

struct Recipient {
    enum class Class { To, Cc, Bcc };
    Class cls = Class::To;
    QString name;
    QString address;
    bool operator==(const Recipient&) const = default;
};

struct Attachment {
    QString path;
    QString name; // shown to the reader
    bool operator==(const Attachment&) const = default;
};

struct Message {
    QString subject;
    QString body;
    QList<Recipient> recipients;
    QList<Attachment> attachments;
    QString senderName;    // set only when a sender address is given
    QString senderAddress;
};

struct SendFlags {
    bool logonUi = true;
    bool dialog = false;  // the client shows its own edit dialog before sending
    bool receipt = false; // ask for a receipt
};

constexpr int Success = 0;
constexpr int Failure = 1;       // also: the function is not there
constexpr int UnknownRecipient = 14;
constexpr int AmbiguousRecipient = 21;
constexpr int NotSupported = 26;

class MailService {
public:
    virtual ~MailService() = default;
    // The default profile of this user, empty when there is none.
    virtual QString defaultProfile() { return {}; }
    virtual int logon(const QString& profile) = 0;
    virtual int logoff() = 0;
    // Looks `line` up in the address book; `dialog` lets the client ask the user.
    virtual int resolveName(const QString& line, bool dialog, Recipient& resolved) = 0;
    virtual int sendMail(const Message& message, const SendFlags& flags) = 0;
    // The service's own words on the last failure, when it has any.
    virtual QString detail() const { return {}; }
};

} // namespace zeltra::mail
