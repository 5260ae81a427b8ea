#include "kit/TMAPIMail.h"

#include <QFileInfo>

#include <array>
#include <utility>

using namespace zeltra::mail;

namespace {
constexpr std::array<std::pair<int, const char*>, 25> ErrorTexts{{
    {1, "User cancelled request"},   {2, "General MAPI failure"},
    {3, "Logon failure"},            {4, "Disk full"},
    {5, "Insufficient memory"},      {6, "Access denied"},
    {8, "Too many sessions"},        {9, "Too many files open"},
    {10, "Too many recipients"},     {11, "Attachment not found"},
    {12, "Failed to open attachment"}, {13, "Failed to write attachment"},
    {14, "Unknown recipient"},       {15, "Invalid recipient type"},
    {16, "No messages"},             {17, "Invalid message"},
    {18, "Text too large."},         {19, "Invalid session"},
    {20, "Type not supported"},      {21, "Ambiguous recipient"},
    {22, "Message in use"},          {23, "Network failure"},
    {24, "Invalid edit fields"},     {25, "Invalid recipients"},
    {26, "Not supported"},
}};
} // namespace

QString TMAPIMail::errorText(int code)
{
    for (const auto& [c, text] : ErrorTexts)
        if (c == code)
            return QString::fromLatin1(text);
    return QStringLiteral("Unknown Error Code: ") + QString::number(code);
}

Recipient TMAPIMail::recipientOf(const QString& line)
{
    Recipient r;
    QString rest = line;
    if (line.startsWith(QLatin1String("CC:"), Qt::CaseInsensitive)) {
        r.cls = Recipient::Class::Cc;
        rest = line.mid(3);
    } else if (line.startsWith(QLatin1String("BCC:"), Qt::CaseInsensitive)) {
        r.cls = Recipient::Class::Bcc;
        rest = line.mid(4);
    }
    r.name = r.address = rest.trimmed();
    return r;
}

Message TMAPIMail::message() const
{
    Message m;
    m.subject = Subject;
    m.body = Body;
    for (const QString& line : Recipients)
        m.recipients.append(recipientOf(line));
    for (qsizetype i = 0; i < Attachments.size(); ++i) {
        const QString& path = Attachments[i];
        const QString name = i < AttachmentNames.size() && !AttachmentNames[i].isEmpty()
                                 ? AttachmentNames[i]
                                 : QFileInfo(path).fileName();
        m.attachments.append({path, name});
    }
    if (!SenderAddress.isEmpty()) {
        m.senderName = SenderName;
        m.senderAddress = SenderAddress;
    }
    return m;
}

// Each recipient through the address book; an unknown or ambiguous one is asked again with
// the client's dialog allowed.
int TMAPIMail::resolve(Message& m)
{
    for (Recipient& r : m.recipients) {
        Recipient found;
        int rc = service_->resolveName(r.name, false, found);
        if (rc == UnknownRecipient || rc == AmbiguousRecipient)
            rc = service_->resolveName(r.name, true, found);
        if (rc != Success)
            return rc;
        r.name = found.name;
        r.address = found.address;
    }
    return Success;
}

bool TMAPIMail::Send()
{
    error_.clear();
    if (!service_) {
        result_ = Failure;
        return false;
    }
    const QString profile = service_->defaultProfile();
    if (!profile.isEmpty()) {
        const int rc = service_->logon(profile);
        if (rc != Success) {
            result_ = rc;
            error_ = QStringLiteral("MAPI Error %1: %2").arg(rc).arg(errorText(rc));
            return false;
        }
    }
    Message m = message();
    int rc = ResolveNames ? resolve(m) : Success;
    if (rc == Success)
        rc = service_->sendMail(m, SendFlags{true, EditDialog, RequestReceipt});
    if (!profile.isEmpty())
        service_->logoff(); // its failure changes nothing
    result_ = rc;
    return rc == Success;
}
