// The main window's side commands as a user meets them: macros, picture export, mail,
// manuals, remote support, and the splash and about windows.
#include "ProgramWindows.h"
#include "TestFiles.h"
#include "program/AppTitle.h"
#include "program/Links.h"
#include "editor/Startup.h"
#include "editor/TSplashF.h"
#include "editor/Trs422kbdf.h"
#include "kit/Launcher.h"
#include "kit/MailService.h"
#include "kit/TQvDlg.h"
#include "kit/TQveButton.h"
#include "link/TDownloadf.h"
#include "model/FunctionTables.h"
#include "model/KeyFaces.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zeltra;

namespace {
struct FakeLauncher : launch::Launcher {
    QStringList started; // "program|arg|arg|...@workDir"
    QList<launch::Outcome> outcomes; // one per start, then success
    void start(const QString& program, const QStringList& args, const QString& workDir,
               std::function<void(const launch::Outcome&)> done) override
    {
        started << (QStringList(program) + args).join(QLatin1Char('|')) + QLatin1Char('@') + workDir;
        done(outcomes.isEmpty() ? launch::Outcome{} : outcomes.takeFirst());
    }
};

struct FakeMail : mail::MailService {
    int result = 0;
    int sends = 0;
    mail::Message sent;
    mail::SendFlags flags;
    int logon(const QString&) override { return 1; }
    int logoff() override { return 0; }
    int resolveName(const QString&, bool, mail::Recipient&) override { return 26; }
    int sendMail(const mail::Message& m, const mail::SendFlags& f) override
    {
        ++sends;
        sent = m;
        flags = f;
        return result;
    }
    QString detail() const override { return result ? QStringLiteral("the composer said no") : QString(); }
};

struct Fixture : ProgramWindows {
    TQvDlg dialog;
    FakeLauncher launcher;
    FakeMail mailer;
    QStringList entries; // "caption|prompt|initial" of each string entry
    QList<std::pair<int, QString>> answers; // result and text of each string entry
    QStringList queries;
    int queryResult = TQvDlg::ResultOK;

    Fixture()
    {
        create();
        w.main->launcher = &launcher;
        w.main->mailService = &mailer;
        w.main->attachSide(dialog);
        w.main->stringEntry = [this](const QString& prompt, QString& answer, const QString& initial,
                                     const QString& caption) {
            entries << caption + QLatin1Char('|') + prompt + QLatin1Char('|') + initial;
            const auto [result, text] = answers.takeFirst();
            answer = result == TQvDlg::ResultOK ? text : initial;
            return result;
        };
        w.main->query = [this](const QString& text, const QString& caption) {
            queries << caption + QLatin1Char('|') + text;
            return queryResult;
        };
    }
    QAction* item(const char* name) const { return w.main->action(QString::fromLatin1(name)); }
    std::uint8_t macro(int slot) const { return model.McnImage.bytes[mcn::MacroTable + std::size_t(slot)]; }
    void setMacro(int slot, int code) { put(KbdMachine, mcn::MacroTable + std::size_t(slot), std::uint8_t(code)); }
};

QByteArray jpegMarkers(const QByteArray& jpeg)
{
    QByteArray sof;
    for (qsizetype i = 0; i + 1 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) & 0xF0) == 0xC0 && uchar(jpeg[i + 1]) != 0xC4 &&
            uchar(jpeg[i + 1]) != 0xC8 && uchar(jpeg[i + 1]) != 0xCC)
            sof += jpeg[i + 1];
    return sof;
}
} // namespace

class TestSideWindow : public QObject {
    Q_OBJECT
private slots:
    void macroEntry_data();
    void macroEntry();
    void macroDownload();
    void exportPicture();
    void exportWithoutLayoutFile();
    void exportFailure();
    void mail();
    void manuals_data();
    void manuals();
    void allManuals();
    void onlineSupport_data();
    void onlineSupport();
    void splashTimer();
    void splashClosesAtOnce_data();
    void splashClosesAtOnce();
    void credits();
    void about();
};

void TestSideWindow::macroEntry_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("refused");
    const int ok = TQvDlg::ResultOK;
    const int cancel = TQvDlg::ResultCancel;
    QTest::newRow("A set") << "MacroA" << 0 << ok << "84" << 84 << "MA:Locate" << false;
    QTest::newRow("A cleared") << "MacroA" << 84 << ok << "0" << 0 << "MA:0" << false;
    QTest::newRow("cancel keeps") << "MacroB" << 84 << cancel << "1" << 84 << "MB:Locate" << false;
    QTest::newRow("no such macro kept") << "MacroC" << 0 << ok << "99" << 99 << "MC:99" << false;
    QTest::newRow("300 refused") << "MacroD" << 84 << ok << "300" << 84 << "MD:Locate" << true;
    QTest::newRow("-1 refused") << "MacroE" << 84 << ok << "-1" << 84 << "ME:Locate" << true;
    QTest::newRow("abc refused") << "MacroF" << 84 << ok << "abc" << 84 << "MF:Locate" << true;
    QTest::newRow("empty refused") << "MacroG" << 1 << ok << "" << 1 << "MG:Full" << true;
    QTest::newRow("H with blanks") << "MacroH" << 0 << ok << " 1 " << 1 << "MH:Full" << false;
}

void TestSideWindow::macroEntry()
{
    QFETCH(QString, item);
    QFETCH(int, before);
    QFETCH(int, result);
    QFETCH(QString, typed);
    QFETCH(int, after);
    QFETCH(QString, caption);
    QFETCH(bool, refused);
    Fixture f;
    const int slot = item.back().unicode() - 'A';
    f.setMacro(slot, before);
    // A key firing this macro, and another macro key whose slot is empty: both show their
    // own function until their macro is set.
    TQveButton* key = f.w.main->KeyButtons[3];
    f.put(KbdMachine, mcn::KeyCodes + 3, std::uint8_t(248 + slot));
    const QString own = keyFace(ListMachine, 248 + slot).caption;
    TQveButton* other = f.w.main->KeyButtons[4];
    f.put(KbdMachine, mcn::KeyCodes + 4, std::uint8_t(248 + (slot + 1) % 8));
    const QString otherOwn = keyFace(ListMachine, 248 + (slot + 1) % 8).caption;
    f.setMacro((slot + 1) % 8, 0);

    f.answers << std::pair{result, typed};
    f.w.main->action(item)->trigger();

    const QString letter(QChar(u'A' + slot));
    QCOMPARE(f.entries, QStringList{QStringLiteral("Macro key %1|Enter Macro Number |%2").arg(letter).arg(before)});
    QCOMPARE(int(f.macro(slot)), after);
    QCOMPARE(f.w.main->action(item)->text(), caption);
    QCOMPARE(f.model.LayoutChanged, after != before);
    QCOMPARE(f.prompts.errors.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY(f.prompts.errors[0].startsWith(QStringLiteral("Macro key ") + letter));
    QCOMPARE(key->Caption(), after ? caption : own);
    QCOMPARE(other->Caption(), otherOwn); // its slot is 0: it keeps its caption
}

void TestSideWindow::macroDownload()
{
    Fixture f;
    f.put(KbdMachine, mcn::KeyCodes, 250);
    int block = -1;
    QTimer::singleShot(0, f.w.download, [&] {
        block = f.w.download->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex();
        f.w.download->reject();
    });
    f.item("Downmacro")->trigger();
    QCOMPARE(block, 8);
    QCOMPARE(f.model.McnImage.bytes[4], std::uint8_t(250)); // the key codes went into the image first
}

// The picture has the window's outer size: under X11 with a window manager that includes
// the frame and the title bar.
void TestSideWindow::exportPicture()
{
    Fixture f;
    const QString layout = f.folder + QStringLiteral("keys.bin");
    const QString picture = f.folder + QStringLiteral("keys.JPEG");
    f.model.Settings.setLastFile(layout);
    writeFile(picture, "old contents");
    f.w.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.w.main));
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (x11) // the window manager has framed the window
        QTRY_VERIFY_WITH_TIMEOUT(f.w.main->frameGeometry().height() > f.w.main->height() + 10, 5000);
    QTest::qWait(300);

    f.item("Export1")->trigger();
    QVERIFY2(f.prompts.errors.isEmpty(), qPrintable(f.prompts.errors.join('\n')));
    const QByteArray bytes = readFile(picture);
    QVERIFY(bytes.startsWith("\xFF\xD8\xFF"));
    QCOMPARE(jpegMarkers(bytes), QByteArray("\xC0")); // baseline, one frame
    QImageReader reader(picture);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY(!image.isNull());
    // Offscreen there is no screen to read: the window's own rendering, without a frame.
    QCOMPARE(image.size(), x11 ? f.w.main->frameGeometry().size() : f.w.main->size());
    QVERIFY(QDir(f.folder).entryList(QDir::Files).filter(QStringLiteral("keys.JPEG")).size() == 1);
}

void TestSideWindow::exportWithoutLayoutFile()
{
    Fixture f;
    f.model.Settings.setLastDir(f.folder);
    f.w.main->show();
    f.item("Export1")->trigger(); // cancelled
    QCOMPARE(f.prompts.dialogs.size(), 1);
    QVERIFY(f.prompts.dialogs[0].startsWith(QStringLiteral("save|Export JPEG|") + f.folder));
    QVERIFY(QDir(f.folder).entryList({QStringLiteral("*.JPEG")}, QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral(".JPEG"))));

    f.prompts.saveFiles << f.folder + QStringLiteral("shot");
    f.item("Export1")->trigger();
    QVERIFY(!QImage(f.folder + QStringLiteral("shot.JPEG")).isNull());

    // The mail takes the picture exported in this run.
    f.item("mail1")->trigger();
    QCOMPARE(f.mailer.sends, 1);
    QCOMPARE(f.mailer.sent.attachments[0].path, f.folder + QStringLiteral("shot.JPEG"));
}

void TestSideWindow::exportFailure()
{
    Fixture f;
    f.model.Settings.setLastFile(f.folder + QStringLiteral("gone/keys.bin"));
    f.w.main->show();
    f.item("Export1")->trigger();
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY(f.prompts.errors[0].contains(f.folder + QStringLiteral("gone/keys.JPEG")));
}

void TestSideWindow::mail()
{
    Fixture f;
    f.model.Settings.setLastFile(f.folder + QStringLiteral("keys.bin"));
    f.item("mail1")->trigger(); // no picture yet: nothing goes out
    QCOMPARE(f.mailer.sends, 0);
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].contains(QStringLiteral("export it first")));

    writeFile(f.folder + QStringLiteral("keys.JPEG"), "\xFF\xD8");
    f.item("mail1")->trigger();
    QCOMPARE(f.mailer.sends, 1);
    QCOMPARE(f.prompts.messages.size(), 1); // sent: no message
    const mail::Message& m = f.mailer.sent;
    QCOMPARE(m.subject, QStringLiteral("zeltra"));
    QCOMPARE(m.body, QStringLiteral("Hi,\r\n\r\nbest regards "));
    QCOMPARE(m.recipients.size(), 2);
    QCOMPARE(m.recipients[0].address, QLatin1String(links::SupportMail));
    QCOMPARE(m.recipients[1].address, QLatin1String(links::DistributorMail));
    for (const auto& r : m.recipients)
        QVERIFY(r.address.endsWith(QLatin1String("example.com")) || r.address.endsWith(QLatin1String("example.net")));
    QCOMPARE(m.attachments.size(), 1);
    QCOMPARE(m.attachments[0].path, f.folder + QStringLiteral("keys.JPEG"));
    QCOMPARE(m.attachments[0].name, QStringLiteral("keys.JPEG"));
    QVERIFY(f.mailer.flags.dialog);

    f.mailer.result = 11;
    f.item("mail1")->trigger();
    QCOMPARE(f.prompts.messages.size(), 2);
    QCOMPARE(f.prompts.messages[1], QStringLiteral("The mail was not sent: Attachment not found\nthe composer said no"));
    f.mailer.result = 1; // what a service without its mail program answers
    f.item("mail1")->trigger();
    QCOMPARE(f.prompts.messages[2], QStringLiteral("The mail was not sent: no mail program was found (result 1).\nthe composer said no"));
}

void TestSideWindow::manuals_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("Zeltra English") << "English1" << "zeltra.pdf" << true << 0 << "";
    QTest::newRow("Zeltra French") << "French1" << "zeltra_fr.pdf" << true << 0 << "";
    QTest::newRow("Kelvo English") << "English2" << "monitor.pdf" << true << 0 << "";
    QTest::newRow("Kelvo French") << "French2" << "monitor_fr.pdf" << true << 0 << "";
    QTest::newRow("missing") << "French2" << "monitor_fr.pdf" << false << 0 << "monitor_fr.pdf  Not Found";
    QTest::newRow("no viewer") << "English1" << "zeltra.pdf" << true << 3
                               << "zeltra.pdf could not be opened.\nxdg-open: no program is set up to open it (exit status 3).";
}

void TestSideWindow::manuals()
{
    QFETCH(QString, item);
    QFETCH(QString, file);
    QFETCH(bool, present);
    QFETCH(int, status);
    QFETCH(QString, message);
    Fixture f;
    if (present)
        writeFile(f.folder + file, "%PDF-1.4\n");
    f.launcher.outcomes << launch::Outcome{launch::Outcome::Kind::Finished, status};
    f.w.main->action(item)->trigger();
    QCOMPARE(f.launcher.started, present ? QStringList{"xdg-open|" + f.folder + file + "@" + f.folder} : QStringList{});
    QCOMPARE(f.prompts.messages, message.isEmpty() ? QStringList{} : QStringList{message});
}

// Whatever folder the manual is picked in, it is looked for in the program's folder.
void TestSideWindow::allManuals()
{
    Fixture f;
    QTemporaryDir other;
    writeFile(other.filePath(QStringLiteral("elsewhere.pdf")), "%PDF");
    writeFile(f.folder + QStringLiteral("here.pdf"), "%PDF");
    f.prompts.openFiles << other.filePath(QStringLiteral("elsewhere.pdf"))
                        << other.filePath(QStringLiteral("here.pdf"));
    f.item("All1")->trigger();
    QCOMPARE(f.prompts.dialogs[0], QStringLiteral("open||%1QvServer.pdf|PDF Manuals (*.pdf *.PDF)|pdf").arg(f.folder));
    QCOMPARE(f.prompts.messages, QStringList{QStringLiteral("elsewhere.pdf  Not Found")});
    QVERIFY(f.launcher.started.isEmpty());
    f.item("All1")->trigger();
    QCOMPARE(f.launcher.started, QStringList{"xdg-open|" + f.folder + "here.pdf@" + f.folder});
    f.item("All1")->trigger(); // cancelled
    QCOMPARE(f.launcher.started.size(), 1);
}

void TestSideWindow::onlineSupport_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("files"); // "native", "exe", "" or both
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("message");
    const int ok = TQvDlg::ResultOK;
    QTest::newRow("cancelled") << int(TQvDlg::ResultCancel) << "native" << "" << "";
    QTest::newRow("not there") << ok << "" << "" << "%1qvhelp2.exe  Not Found";
    QTest::newRow("native program") << ok << "native exe" << "%1qvhelp2@%1" << "";
    QTest::newRow("exe to the opener") << ok << "exe" << "xdg-open|%1qvhelp2.exe@%1" << "";
}

void TestSideWindow::onlineSupport()
{
    QFETCH(int, answer);
    QFETCH(QString, files);
    QFETCH(QString, started);
    QFETCH(QString, message);
    Fixture f;
    if (files.contains(QLatin1String("native"))) {
        writeFile(f.folder + QStringLiteral("qvhelp2"), "#!/bin/sh\n");
        QFile::setPermissions(f.folder + QStringLiteral("qvhelp2"), QFile::ReadOwner | QFile::ExeOwner);
    }
    if (files.contains(QLatin1String("exe")))
        writeFile(f.folder + QStringLiteral("qvhelp2.exe"), "MZ");
    f.queryResult = answer;
    f.item("OnlineSupport1")->trigger();
    QCOMPARE(f.queries, QStringList{QStringLiteral("OnLine Support|Online Support is only available by prior "
                                                   "agreement\rTelephone ") + QLatin1String(links::SupportTelephone)});
    QCOMPARE(f.launcher.started, started.isEmpty() ? QStringList{} : QStringList{started.arg(f.folder)});
    QCOMPARE(f.prompts.messages, message.isEmpty() ? QStringList{} : QStringList{message.arg(f.folder)});
}

void TestSideWindow::splashTimer()
{
    QTemporaryDir dir;
    TSplashF splash(TSplashF::Kind::Splash, dir.filePath(QStringLiteral("zeltra")));
    QCOMPARE(splash.ProductName->text(), QStringLiteral("Zeltra"));
    QCOMPARE(splash.Version->text(), QStringLiteral("v" ZELTRA_VERSION));
    QCOMPARE(splash.Timer1->interval(), TSplashF::SplashTime);
    QVERIFY(!splash.Timer1->isActive()); // it starts when the window shows
    splash.show();
    QVERIFY(splash.Timer1->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), TSplashF::SplashTime + 5000);
    QCOMPARE(splash.result(), int(QDialog::Accepted));
}

void TestSideWindow::splashClosesAtOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Continue") << "Continue";
    QTest::newRow("click") << "click";
    QTest::newRow("key") << "key";
}

void TestSideWindow::splashClosesAtOnce()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    TSplashF splash(TSplashF::Kind::Splash, dir.filePath(QStringLiteral("zeltra")));
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    if (how == QLatin1String("Continue"))
        QTest::mouseClick(splash.Continue, Qt::LeftButton);
    else if (how == QLatin1String("click"))
        QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(5, 5));
    else
        QTest::keyClick(&splash, Qt::Key_X);
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.Timer1->isActive());
}

void TestSideWindow::credits()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("zeltra"));
    {
        TSplashF splash(TSplashF::Kind::Splash, program);
        splash.show();
        QVERIFY(splash.Credits->isHidden()); // no credits file
        splash.accept();
    }
    writeFile(dir.filePath(QStringLiteral("zeltra.crd")), "Made by the Zeltra team\nThanks to all");
    TSplashF splash(TSplashF::Kind::Splash, program);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QVERIFY(!splash.Credits->isHidden());
    QTest::mouseClick(splash.Credits, Qt::LeftButton);
    QVERIFY(!splash.Timer1->isActive()); // reading the credits stops the timer
    QVERIFY(splash.CreditsText->isVisible());
    QCOMPARE(splash.CreditsText->toPlainText(), QStringLiteral("Made by the Zeltra team\nThanks to all"));
    QTest::keyClick(&splash, Qt::Key_X); // keys do not close the credits
    QVERIFY(splash.isVisible());
    QTest::mouseClick(splash.Back, Qt::LeftButton);
    QVERIFY(splash.Continue->isVisible());
    QVERIFY(!splash.CreditsText->isVisible());
    QVERIFY(splash.isVisible());
}

void TestSideWindow::about()
{
    Fixture f;
    bool shown = false;
    f.w.main->showAbout = [&](TSplashF& about) {
        shown = true;
        about.show();
        QVERIFY(!about.Timer1->isActive()); // the about window has no timer
        QCOMPARE(about.ProductName->text(), QStringLiteral("Zeltra"));
        QVERIFY(about.Credits->isHidden());
        QVERIFY(about.WebAddress->text().contains(QLatin1String(links::WebAddress)));
        emit about.WebAddress->linkActivated(QLatin1String(links::WebAddress));
        QTest::keyClick(&about, Qt::Key_X); // a key does not close it
        QVERIFY(about.isVisible());
    };
    f.item("About1")->trigger();
    QVERIFY(shown);
    QCOMPARE(f.launcher.started, QStringList{QStringLiteral("xdg-open|%1@%2").arg(QLatin1String(links::WebAddress), f.folder)});
}

QTEST_MAIN(TestSideWindow)
#include "tst_side_window.moc"
