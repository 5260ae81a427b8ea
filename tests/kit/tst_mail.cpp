// The mail algorithm over a fake mail service, and xdg-email, the service on Linux: its
// argument list, its exit statuses and a run against a stand-in that records what it got.
#include "TestFiles.h"
#include "kit/TMAPIMail.h"
#include "kit/XdgEmail.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zeltra::mail;
using Class = Recipient::Class;

namespace {
// Records every call; answers from its fields. `missing` makes it a service without its
// functions, which answer 1.
struct FakeService : MailService {
    QString profile;
    int logonResult = 0;
    int sendResult = 0;
    bool missing = false;
    QList<int> resolveResults; // one per call, then 0
    QStringList calls;
    Message sent;
    SendFlags flags;

    QString defaultProfile() override { return profile; }
    int logon(const QString& p) override
    {
        calls << QStringLiteral("logon ") + p;
        return missing ? 1 : logonResult;
    }
    int logoff() override
    {
        calls << QStringLiteral("logoff");
        return 5; // ignored
    }
    int resolveName(const QString& line, bool dialog, Recipient& resolved) override
    {
        calls << QStringLiteral("resolve %1 %2").arg(line).arg(dialog);
        if (missing)
            return 1;
        const int rc = resolveResults.isEmpty() ? 0 : resolveResults.takeFirst();
        resolved = {Class::To, QStringLiteral("Name of ") + line, line + QStringLiteral(".resolved")};
        return rc;
    }
    int sendMail(const Message& m, const SendFlags& f) override
    {
        calls << QStringLiteral("send");
        sent = m;
        flags = f;
        return missing ? 1 : sendResult;
    }
};
} // namespace

class TestMail : public QObject {
    Q_OBJECT
private slots:
    void errorTexts_data();
    void errorTexts();
    void recipientLines_data();
    void recipientLines();
    void sendSequence_data();
    void sendSequence();
    void messageAsHandedOver();
    void xdgEmailArguments();
    void xdgExitStatus_data();
    void xdgExitStatus();
    void xdgEmailRun_data();
    void xdgEmailRun();
    void xdgEmailMissing();
};

void TestMail::errorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const char* texts[] = {"User cancelled request", "General MAPI failure", "Logon failure",
                           "Disk full", "Insufficient memory", "Access denied", nullptr,
                           "Too many sessions", "Too many files open", "Too many recipients",
                           "Attachment not found", "Failed to open attachment",
                           "Failed to write attachment", "Unknown recipient",
                           "Invalid recipient type", "No messages", "Invalid message",
                           "Text too large.", "Invalid session", "Type not supported",
                           "Ambiguous recipient", "Message in use", "Network failure",
                           "Invalid edit fields", "Invalid recipients", "Not supported"};
    for (int code = 1; code <= 26; ++code)
        QTest::addRow("%d", code) << code
                                  << (texts[code - 1] ? QString::fromLatin1(texts[code - 1])
                                                      : QStringLiteral("Unknown Error Code: 7"));
    QTest::newRow("27") << 27 << "Unknown Error Code: 27";
    QTest::newRow("99") << 99 << "Unknown Error Code: 99";
    QTest::newRow("0") << 0 << "Unknown Error Code: 0";
    QTest::newRow("negative") << -3 << "Unknown Error Code: -3";
}

void TestMail::errorTexts()
{
    QFETCH(int, code);
    QTEST(TMAPIMail::errorText(code), "text");
}

void TestMail::recipientLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("cls");
    QTest::addColumn<QString>("address");
    QTest::newRow("main") << "a@example.com" << int(Class::To) << "a@example.com";
    QTest::newRow("CC") << "CC:b@example.com" << int(Class::Cc) << "b@example.com";
    QTest::newRow("cc lower") << "cc:b@example.com" << int(Class::Cc) << "b@example.com";
    QTest::newRow("Cc blank") << "Cc: b@example.com" << int(Class::Cc) << "b@example.com";
    QTest::newRow("BCC") << "BCC:c@example.com" << int(Class::Bcc) << "c@example.com";
    QTest::newRow("bCc mixed") << "bCc:c@example.com" << int(Class::Bcc) << "c@example.com";
    QTest::newRow("cc without colon") << "ccd@example.com" << int(Class::To) << "ccd@example.com";
    QTest::newRow("cc later in line") << "x CC:d@example.com" << int(Class::To) << "x CC:d@example.com";
}

void TestMail::recipientLines()
{
    QFETCH(QString, line);
    const Recipient r = TMAPIMail::recipientOf(line);
    QTEST(int(r.cls), "cls");
    QTEST(r.address, "address");
    QCOMPARE(r.name, r.address); // without look-up the line is name and address
}

void TestMail::sendSequence_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("logonResult");
    QTest::addColumn<bool>("resolve");
    QTest::addColumn<QList<int>>("resolveResults");
    QTest::addColumn<int>("sendResult");
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("error");
    const QList<int> none;
    QTest::newRow("no profile, sent") << "" << 0 << false << none << 0 << false
                                      << QStringList{"send"} << 0 << "";
    QTest::newRow("profile, sent") << "Work" << 0 << false << none << 0 << false
                                   << QStringList{"logon Work", "send", "logoff"} << 0 << "";
    QTest::newRow("logon fails") << "Work" << 3 << false << none << 0 << false
                                 << QStringList{"logon Work"} << 3 << "MAPI Error 3: Logon failure";
    QTest::newRow("logon fails, no text") << "Work" << 7 << false << none << 0 << false
                                          << QStringList{"logon Work"} << 7
                                          << "MAPI Error 7: Unknown Error Code: 7";
    QTest::newRow("send fails") << "Work" << 0 << false << none << 11 << false
                                << QStringList{"logon Work", "send", "logoff"} << 11 << "";
    QTest::newRow("resolved") << "" << 0 << true << none << 0 << false
                              << QStringList{"resolve a@example.com 0", "resolve b@example.com 0", "send"}
                              << 0 << "";
    QTest::newRow("unknown asked again") << "" << 0 << true << QList<int>{14, 0} << 0 << false
                                         << QStringList{"resolve a@example.com 0", "resolve a@example.com 1",
                                                        "resolve b@example.com 0", "send"}
                                         << 0 << "";
    QTest::newRow("ambiguous, still") << "" << 0 << true << QList<int>{21, 21} << 0 << false
                                      << QStringList{"resolve a@example.com 0", "resolve a@example.com 1"}
                                      << 21 << "";
    QTest::newRow("look-up not supported") << "P" << 0 << true << QList<int>{26} << 0 << false
                                           << QStringList{"logon P", "resolve a@example.com 0", "logoff"}
                                           << 26 << "";
    QTest::newRow("missing service") << "" << 0 << false << none << 0 << true
                                     << QStringList{"send"} << 1 << "";
}

void TestMail::sendSequence()
{
    QFETCH(QString, profile);
    QFETCH(bool, resolve);
    QFETCH(int, result);
    FakeService service;
    service.profile = profile;
    QFETCH(int, logonResult);
    QFETCH(int, sendResult);
    QFETCH(QList<int>, resolveResults);
    QFETCH(bool, missing);
    service.logonResult = logonResult;
    service.sendResult = sendResult;
    service.resolveResults = resolveResults;
    service.missing = missing;

    TMAPIMail mail(&service);
    mail.Recipients = {QStringLiteral("a@example.com"), QStringLiteral("CC:b@example.com")};
    mail.ResolveNames = resolve;
    QCOMPARE(mail.Send(), result == 0);
    QTEST(service.calls, "calls");
    QCOMPARE(mail.Result(), result);
    QTEST(mail.Error(), "error");
    if (resolve && result == 0) {
        QCOMPARE(service.sent.recipients[1].address, QStringLiteral("b@example.com.resolved"));
        QCOMPARE(service.sent.recipients[1].name, QStringLiteral("Name of b@example.com"));
        QCOMPARE(service.sent.recipients[1].cls, Class::Cc); // the class stays the line's
    }
}

void TestMail::messageAsHandedOver()
{
    FakeService service;
    TMAPIMail mail(&service);
    mail.Subject = QStringLiteral("zeltra");
    mail.Body = QStringLiteral("Hi,\r\n\r\nbest regards ");
    mail.Recipients = {QStringLiteral("a@example.com"), QStringLiteral("bcc:c@example.org"),
                       QStringLiteral("Cc:b@example.net")};
    mail.Attachments = {QStringLiteral("/tmp/x/keys.JPEG"), QStringLiteral("/tmp/y/more.bin"),
                        QStringLiteral("/tmp/z/third.txt")};
    mail.AttachmentNames = {QStringLiteral("Picture"), QString()};
    mail.EditDialog = true;
    mail.RequestReceipt = true;
    mail.SenderName = QStringLiteral("Not used");
    QVERIFY(mail.Send());
    const Message& m = service.sent;
    QCOMPARE(m.subject, mail.Subject);
    QCOMPARE(m.body, mail.Body);
    const QList<Recipient> expected{{Class::To, "a@example.com", "a@example.com"},
                                    {Class::Bcc, "c@example.org", "c@example.org"},
                                    {Class::Cc, "b@example.net", "b@example.net"}};
    QCOMPARE(m.recipients, expected);
    const QList<Attachment> files{{"/tmp/x/keys.JPEG", "Picture"},
                                  {"/tmp/y/more.bin", "more.bin"},
                                  {"/tmp/z/third.txt", "third.txt"}};
    QCOMPARE(m.attachments, files);
    QVERIFY(service.flags.dialog);
    QVERIFY(service.flags.receipt);
    QVERIFY(m.senderName.isEmpty()); // a sender counts only with an address

    mail.SenderAddress = QStringLiteral("me@example.com");
    QVERIFY(mail.Send());
    QCOMPARE(service.sent.senderName, QStringLiteral("Not used"));
    QCOMPARE(service.sent.senderAddress, QStringLiteral("me@example.com"));
}

void TestMail::xdgEmailArguments()
{
    Message m;
    m.subject = QStringLiteral("it's \"quoted\"; $(rm -rf ~)");
    m.body = QStringLiteral("line 1\r\nline 2 `id` & more");
    m.recipients = {{Class::To, "", "-x@example.com"},
                    {Class::Cc, "", "b@example.net?attach=/etc/passwd"},
                    {Class::Bcc, "", "c@example.org; d@example.org"}};
    m.attachments = {{"/tmp/a b/keys.JPEG", "keys.JPEG"}, {"/tmp/--attach;$(x)", "x"}};
    const QStringList expected{"--utf8",
                               "--subject", "it's \"quoted\"; $(rm -rf ~)",
                               "--body", "line 1\nline 2 `id` & more",
                               "--to", "-x@example.com",
                               "--cc", "b@example.net?attach=/etc/passwd",
                               "--bcc", "c@example.org; d@example.org",
                               "--attach", "/tmp/a b/keys.JPEG",
                               "--attach", "/tmp/--attach;$(x)"};
    QCOMPARE(zeltra::mail::xdgEmailArguments(m), expected);

    Message empty; // xdg-email refuses empty values: none are passed
    QCOMPARE(zeltra::mail::xdgEmailArguments(empty), QStringList{"--utf8"});
}

void TestMail::xdgExitStatus_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("result");
    using K = zeltra::launch::Outcome::Kind;
    QTest::newRow("sent") << int(K::Finished) << 0 << 0;
    QTest::newRow("syntax") << int(K::Finished) << 1 << 2;
    QTest::newRow("file missing") << int(K::Finished) << 2 << 11;
    QTest::newRow("no mail program") << int(K::Finished) << 3 << 26;
    QTest::newRow("composer failed") << int(K::Finished) << 4 << 2;
    QTest::newRow("unreadable") << int(K::Finished) << 5 << 12;
    QTest::newRow("other") << int(K::Finished) << 77 << 2;
    QTest::newRow("crash") << int(K::Crashed) << 0 << 2;
    QTest::newRow("no start") << int(K::FailedToStart) << 0 << 2;
}

void TestMail::xdgExitStatus()
{
    QFETCH(int, kind);
    QFETCH(int, status);
    QTEST(resultOf({zeltra::launch::Outcome::Kind(kind), status}), "result");
}

void TestMail::xdgEmailRun_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("ran");
    QTest::newRow("composer took it") << 0 << true << 0 << true;
    QTest::newRow("no mail program") << 3 << true << 26 << true;
    QTest::newRow("attachment gone") << 2 << true << 11 << true;
    QTest::newRow("without composer") << 0 << false << 26 << false;
}

// A stand-in for xdg-email writes its arguments, each ended by a NUL, and exits with the
// status asked for: every value must arrive as one argument, unchanged.
void TestMail::xdgEmailRun()
{
    QFETCH(int, status);
    QFETCH(bool, dialog);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("args"));
    const QString fake = dir.filePath(QStringLiteral("xdg-email"));
    writeFile(fake, QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1'\nexit %2\n")
                        .arg(out).arg(status).toUtf8());
    QVERIFY(QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    XdgEmailService service;
    service.program = fake;
    Message m;
    m.subject = QStringLiteral("a \"b\" 'c'; $(touch %1/pwned)").arg(dir.path());
    m.body = QStringLiteral("x\ny\r\n-z");
    m.recipients = {{Class::To, "", "-a@example.com"}, {Class::Cc, "", "`id`@example.net"}};
    QTEST(service.sendMail(m, SendFlags{true, dialog, false}), "result");
    QFETCH(bool, ran);
    QCOMPARE(QFile::exists(out), ran);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("pwned"))));
    if (!ran)
        return;
    QByteArray expected;
    for (const QString& a : zeltra::mail::xdgEmailArguments(m))
        expected += a.toUtf8() + '\0';
    QCOMPARE(readFile(out), expected);
    QCOMPARE(service.detail().isEmpty(), status == 0);
}

// Without xdg-email every call fails as a function that is not there.
void TestMail::xdgEmailMissing()
{
    XdgEmailService service;
    service.program = QStringLiteral("/nonexistent/xdg-email");
    Recipient r;
    QCOMPARE(service.logon(QStringLiteral("P")), 1);
    QCOMPARE(service.resolveName(QStringLiteral("a@example.com"), true, r), 1);
    TMAPIMail mail(&service);
    mail.Recipients = {QStringLiteral("a@example.com")};
    mail.EditDialog = true;
    QVERIFY(!mail.Send());
    QCOMPARE(mail.Result(), 1);
    QVERIFY(service.detail().contains(QStringLiteral("not found")));
}

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
