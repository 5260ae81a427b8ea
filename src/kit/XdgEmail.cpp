#include "kit/XdgEmail.h"

#include <QFileInfo>
#include <QProcess>

namespace zeltra::mail {

QStringList xdgEmailArguments(const Message& message)
{
    QStringList args{QStringLiteral("--utf8")};
    // xdg-email refuses an empty value, and an empty subject or body is the same as none.
    if (!message.subject.isEmpty())
        args << QStringLiteral("--subject") << message.subject;
    // xdg-email writes each line end as CR LF itself: the body goes with plain line feeds.
    QString body = message.body;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!body.isEmpty())
        args << QStringLiteral("--body") << body;
    // Every address follows its option, so that one beginning with "-" is never read as an
    // option; xdg-email encodes each value into the mailto address itself.
    for (const Recipient& r : message.recipients) {
        switch (r.cls) {
        case Recipient::Class::To: args << QStringLiteral("--to"); break;
        case Recipient::Class::Cc: args << QStringLiteral("--cc"); break;
        case Recipient::Class::Bcc: args << QStringLiteral("--bcc"); break;
        }
        args << r.address;
    }
    for (const Attachment& a : message.attachments)
        args << QStringLiteral("--attach") << QFileInfo(a.path).absoluteFilePath();
    return args;
}

int resultOf(const launch::Outcome& outcome)
{
    if (outcome.kind != launch::Outcome::Kind::Finished)
        return 2;
    switch (outcome.exitCode) {
    case 0: return Success;
    case 2: return 11;
    case 3: return NotSupported;
    case 5: return 12;
    default: return 2;
    }
}

bool XdgEmailService::present() const { return !launch::findProgram(program).isEmpty(); }

int XdgEmailService::logon(const QString&) { return present() ? NotSupported : Failure; }

int XdgEmailService::logoff() { return present() ? Success : Failure; }

int XdgEmailService::resolveName(const QString&, bool, Recipient&)
{
    return present() ? NotSupported : Failure;
}

int XdgEmailService::sendMail(const Message& message, const SendFlags& flags)
{
    detail_.clear();
    const QString path = launch::findProgram(program);
    if (path.isEmpty()) {
        detail_ = QStringLiteral("%1 was not found; it comes with the package xdg-utils.").arg(program);
        return Failure;
    }
    if (!flags.dialog || flags.receipt) {
        detail_ = flags.receipt ? QStringLiteral("The mail composer cannot ask for a receipt.")
                                : QStringLiteral("Mail is only sent through the mail composer.");
        return NotSupported;
    }
    for (const Recipient& r : message.recipients)
        if (r.address.isEmpty()) {
            detail_ = QStringLiteral("A recipient line is empty.");
            return 25;
        }
    auto* p = new QProcess(this);
    p->setProgram(path);
    p->setArguments(xdgEmailArguments(message));
    p->setStandardInputFile(QProcess::nullDevice());
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start();
    launch::Outcome outcome;
    if (!p->waitForStarted()) {
        outcome.kind = launch::Outcome::Kind::FailedToStart;
    } else if (!p->waitForFinished(ComposerWait)) {
        // The composer is open and xdg-email waits for it: the mail is with the user now.
        connect(p, &QProcess::finished, this, [this, p](int code, QProcess::ExitStatus status) {
            const launch::Outcome late{status == QProcess::CrashExit
                                           ? launch::Outcome::Kind::Crashed
                                           : launch::Outcome::Kind::Finished,
                                       code};
            const QString words = launch::openerFailure(program, late);
            if (!words.isEmpty() && lateFailure)
                lateFailure(resultOf(late), words);
            p->deleteLater();
        });
        return Success;
    } else {
        outcome.kind = p->exitStatus() == QProcess::CrashExit ? launch::Outcome::Kind::Crashed
                                                               : launch::Outcome::Kind::Finished;
        outcome.exitCode = p->exitCode();
    }
    delete p;
    detail_ = launch::openerFailure(program, outcome);
    return resultOf(outcome);
}

} // namespace zeltra::mail
