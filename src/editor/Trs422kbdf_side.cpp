// The main window's side commands: macros A..H, picture export, mail, manuals, remote
// support and the about window.
#include "editor/Trs422kbdf.h"

#include "editor/JpegExport.h"
#include "editor/TSplashF.h"
#include "history/LayoutHistory.h"
#include "kit/Launcher.h"
#include "kit/Prompts.h"
#include "kit/TMAPIMail.h"
#include "kit/TQvDlg.h"
#include "kit/XdgEmail.h"
#include "link/TDownloadf.h"
#include "model/LayoutSteps.h"
#include "model/MacroLabels.h"
#include "model/Records.h"
#include "model/SafeFile.h"
#include "program/Links.h"
#include "program/SideFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>

using namespace zeltra;

namespace {
constexpr char Opener[] = "xdg-open";
constexpr int MacroBlock = 8; // "macro's" in the link window's list
constexpr char Caption[] = "Zeltra";
} // namespace

void Trs422kbdf::attachSide(TQvDlg& dialog)
{
    stringEntry = [this, &dialog](const QString& prompt, QString& answer, const QString& initial,
                                  const QString& caption) {
        return dialog.StringEntry(this, 0, prompt, answer, initial, caption);
    };
    query = [this, &dialog](const QString& text, const QString& caption) {
        return dialog.Query(this, 0, text, caption);
    };
    if (!launcher)
        launcher = new launch::ProcessLauncher(this);
    if (!mailService) {
        auto* xdg = new mail::XdgEmailService(this);
        xdg->lateFailure = [this](int result, const QString& why) {
            sideMessage(mailFailure(result, why));
        };
        mailService = xdg;
    }

    for (int k = 0; k < mcn::MacroCount; ++k) {
        QAction* item = action(QStringLiteral("Macro") + QChar(u'A' + k));
        connect(item, &QAction::triggered, this, [this, item] { MacroAClick(item); });
    }
    const std::initializer_list<std::pair<const char*, void (Trs422kbdf::*)()>> items{
        {"Downmacro", &Trs422kbdf::DownmacroClick}, {"Export1", &Trs422kbdf::Export1Click},
        {"mail1", &Trs422kbdf::mail1Click},         {"English1", &Trs422kbdf::English1Click},
        {"French1", &Trs422kbdf::French1Click},     {"English2", &Trs422kbdf::English2Click},
        {"French2", &Trs422kbdf::French2Click},     {"All1", &Trs422kbdf::All1Click},
        {"About1", &Trs422kbdf::About1Click},       {"OnlineSupport1", &Trs422kbdf::OnlineSupport1Click}};
    for (const auto& [name, handler] : items)
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this, handler);
}

// Result 1 is also what a mail service without a mail program answers; its text would then
// blame the user, so the message says what happened and gives the result as a number.
QString Trs422kbdf::mailFailure(int result, const QString& detail)
{
    QString text = QStringLiteral("The mail was not sent: ");
    text += result == mail::Failure
                ? QStringLiteral("no mail program was found (result %1).").arg(result)
                : TMAPIMail::errorText(result);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    return text;
}

void Trs422kbdf::sideMessage(const QString& text)
{
    prompts_.showMessage(text, QLatin1String(Caption));
}

// A macro number typed for slot A..H. A number outside 0..255 or text that is not a number is
// refused and the slot keeps its value, as it does on Cancel.
void Trs422kbdf::MacroAClick(QAction* sender)
{
    const int i = sender->property("Tag").toInt();
    if (i < 1 || i > mcn::MacroCount || !stringEntry || refuseOutsideMachineMode())
        return;
    const QChar letter(u'@' + i);
    const QString initial = QString::number(records::macro(model_.McnImage, i - 1).code());
    QString answer = initial;
    const int result = stringEntry(QStringLiteral("Enter Macro Number "), answer, initial,
                                   QStringLiteral("Macro key ") + letter);
    if (result != TQvDlg::ResultOK || answer == initial)
        return;
    const auto value = macros::parseEntry(answer);
    if (!value) {
        prompts_.showError(macros::entryRefusal(answer), QStringLiteral("Macro key ") + letter);
        return;
    }
    history_->editMachine(steps::windowCommand(QStringLiteral("Tandem Macro"), letter),
                          [&](MachineImage& image) { records::macro(image, i - 1).setCode(*value); });
}

void Trs422kbdf::DownmacroClick()
{
    if (!refuseOutsideMachineMode())
        downloadTable(MacroBlock);
}

// The picture goes beside the layout file; without one the user names it.
void Trs422kbdf::Export1Click()
{
    QString path = side::jpegPathFor(model_.Settings.lastFile());
    if (path.isEmpty()) {
        path = prompts_.askSaveFile(QStringLiteral("Export JPEG"), model_.Settings.lastDir(),
                                    QStringLiteral("zeltra.JPEG"),
                                    QStringLiteral("JPEG Picture (*.JPEG *.jpeg *.jpg)"));
        if (path.isEmpty())
            return;
        path = side::withJpegExtension(path);
    }
    // Let the menu that started this go from the screen before it is read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QString error = side::writeJpeg(side::grabOuterWindow(this), path);
    if (!error.isEmpty()) {
        prompts_.showError(QStringLiteral("The picture could not be written to\n%1\n%2").arg(path, error),
                           QStringLiteral("Export JPEG"));
        return;
    }
    lastExport_ = path;
}

void Trs422kbdf::mail1Click()
{
    QString picture = side::jpegPathFor(model_.Settings.lastFile());
    if (picture.isEmpty())
        picture = lastExport_;
    if (picture.isEmpty() || !QFileInfo(picture).isFile()) {
        sideMessage(QStringLiteral("There is no picture to mail yet: export it first with "
                                   "\"Export JPEG\" in the File menu."));
        return;
    }
    TMAPIMail mail(mailService);
    mail.Subject = QStringLiteral("zeltra");
    mail.Body = QStringLiteral("Hi,\r\n\r\nbest regards ");
    mail.Recipients = {QLatin1String(links::SupportMail), QLatin1String(links::DistributorMail)};
    mail.Attachments = {picture};
    mail.EditDialog = true;
    if (mail.Send())
        return;
    const QString detail = mailService ? mailService->detail() : QString();
    sideMessage(mail.Error().isEmpty() ? mailFailure(mail.Result(), detail)
                                       : mail.Error() + QLatin1Char('\n') + detail);
}

// Starts `program` and tells the user when it fails; `what` names it in the message.
void Trs422kbdf::openProgram(const QString& program, const QStringList& args, const QString& what,
                             bool opener)
{
    if (!launcher)
        return;
    QPointer<Trs422kbdf> self(this);
    launcher->start(program, args, model_.ProgramDir, [self, program, what, opener](const launch::Outcome& o) {
        const QString why = opener ? launch::openerFailure(program, o) : launch::programFailure(program, o);
        if (self && !why.isEmpty())
            self->sideMessage(QStringLiteral("%1 could not be opened.\n%2").arg(what, why));
    });
}

void Trs422kbdf::openfile(const QString& name)
{
    const QString path = model_.ProgramDir + name;
    if (name.isEmpty() || !QFileInfo(path).isFile()) {
        sideMessage(name + QStringLiteral("  Not Found"));
        return;
    }
    openProgram(QLatin1String(Opener), {path}, name, true);
}

void Trs422kbdf::English1Click() { openfile(QStringLiteral("zeltra.pdf")); }
void Trs422kbdf::French1Click() { openfile(QStringLiteral("zeltra_fr.pdf")); }
void Trs422kbdf::English2Click() { openfile(QStringLiteral("monitor.pdf")); }
void Trs422kbdf::French2Click() { openfile(QStringLiteral("monitor_fr.pdf")); }

// Whatever folder the file is picked in, the manual is looked for in the program's folder.
void Trs422kbdf::All1Click()
{
    const QString chosen = prompts_.askOpenFile(QString(), model_.ProgramDir + QStringLiteral("QvServer.pdf"),
                                                QStringLiteral("PDF Manuals (*.pdf *.PDF)"),
                                                QStringLiteral("pdf"));
    if (!chosen.isEmpty())
        openfile(safefile::fileNameOf(chosen));
}

void Trs422kbdf::OnlineSupport1Click()
{
    if (!query)
        return;
    const QString text = QStringLiteral("Online Support is only available by prior agreement\r"
                                        "Telephone ") + QLatin1String(links::SupportTelephone);
    if (query(text, QStringLiteral("OnLine Support")) != TQvDlg::ResultOK)
        return;
    const side::SupportProgram support = side::findSupportProgram(model_.ProgramDir);
    if (support.path.isEmpty()) {
        sideMessage(model_.ProgramDir + QLatin1String(side::SupportFile) + QStringLiteral("  Not Found"));
        return;
    }
    if (support.native)
        openProgram(support.path, {}, safefile::fileNameOf(support.path), false);
    else
        openProgram(QLatin1String(Opener), {support.path}, safefile::fileNameOf(support.path), true);
}

void Trs422kbdf::About1Click()
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    TSplashF about(TSplashF::Kind::About, model_.ProgramDir + program, this);
    about.openAddress = [this](const QString& address) {
        openProgram(QLatin1String(Opener), {address}, address, true);
    };
    if (showAbout)
        showAbout(about);
    else
        about.exec();
}
