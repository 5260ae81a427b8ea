#pragma once
#include "kit/MailService.h"

#include <QString>
#include <QStringList>

// A mail with recipients and attachments, handed to the machine's mail client through a
// mail service. Recipients are one per line; a line starting "CC:" or "BCC:" (in any case)
// is a copy or blind-copy recipient.
class TMAPIMail {
public:
    explicit TMAPIMail(zeltra::mail::MailService* service) : service_(service) {}

    QString Subject;
    QString Body;
    QStringList Recipients;
    QStringList Attachments;     // full paths
    QStringList AttachmentNames; // by position; a missing one is the file name of the path
    bool EditDialog = false;
    bool ResolveNames = false;
    bool RequestReceipt = false;
    QString SenderName;
    QString SenderAddress;

    // True when the mail client took the mail. A failing logon is reported through
    // Error(); a failing send only through Result().
    bool Send();
    int Result() const { return result_; }
    // "MAPI Error 3: Logon failure" after a failed logon, empty otherwise.
    QString Error() const { return error_; }

    // The text of a result code, "Unknown Error Code: " + code when it has none.
    static QString errorText(int code);
    // The recipient a line names, before any address-book look-up.
    static zeltra::mail::Recipient recipientOf(const QString& line);
    // The message as it goes to the service, recipients not yet resolved.
    zeltra::mail::Message message() const;

private:
    int resolve(zeltra::mail::Message& m);

    zeltra::mail::MailService* service_;
    int result_ = 0;
    QString error_;
};
