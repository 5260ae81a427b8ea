// The reasons a port does not open, found on real files, pseudo-terminals and lock files.
// Permission cases use file modes the test sets: the diagnosis reads the permission bits,
// which hold for root too.
#include "link/PortDiagnosis.h"
#include "link/TComNumberF.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using zeltra::link::diagnosePort;
using Reason = zeltra::link::PortDiagnosis::Reason;

namespace {
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QString slave;
    Pty() {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty() {
        if (master >= 0)
            ::close(master);
    }
};

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QString groupOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    const group* g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
}
} // namespace

class TestPortDiagnosis : public QObject {
    Q_OBJECT
  private slots:
    void reasons_data();
    void reasons();
    void lockFileNames_data();
    void lockFileNames();
    void pickerMarksPortsThatCannotOpen();
};

void TestPortDiagnosis::reasons_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QStringList>("words"); // "$path", "$group", "$pid" stand for the case's own
    QTest::newRow("no device for the number")
        << "none" << int(Reason::NoDevice) << QStringList{"COM0 names no device"};
    QTest::newRow("path that does not exist")
        << "missing" << int(Reason::Missing)
        << QStringList{"$path: no such device", "Is the adapter plugged in?"};
    QTest::newRow("device file without permission")
        << "file 0" << int(Reason::PermissionDenied)
        << QStringList{"$path: permission denied", "group \"$group\"", "sudo usermod -aG $group ",
                       "a new login is needed"};
    QTest::newRow("pseudo-terminal without permission")
        << "pty 0" << int(Reason::PermissionDenied)
        << QStringList{"$path: permission denied", "group \"$group\"", "usermod -aG $group "};
    QTest::newRow("pseudo-terminal that opens") << "pty" << int(Reason::None) << QStringList{};
    QTest::newRow("held, lock file of a serial program")
        << "pty uucp lock" << int(Reason::Held)
        << QStringList{"$path is in use by sleep (PID $pid)", "close that program"};
    QTest::newRow("held, lock file of a Qt program")
        << "pty qt lock" << int(Reason::Held) << QStringList{"in use by sleep (PID $pid)"};
    QTest::newRow("stale lock of an ended process")
        << "pty stale lock" << int(Reason::None) << QStringList{};
    QTest::newRow("lock of this program's own open port")
        << "pty own lock" << int(Reason::None) << QStringList{};
    QTest::newRow("held, as the open said")
        << "pty busy" << int(Reason::Held) << QStringList{"$path is in use by another program"};
    QTest::newRow("plain file") << "file" << int(Reason::NotSerial)
                                << QStringList{"$path is not a serial device"};
}

void TestPortDiagnosis::reasons() {
    QFETCH(QString, setup);
    QFETCH(int, reason);
    QFETCH(QStringList, words);
    QTemporaryDir root;
    const QString locks = root.path() + QStringLiteral("/lock");
    QVERIFY(QDir().mkpath(locks));
    Pty pty;
    QVERIFY(!pty.slave.isEmpty());
    QProcess holder;
    QString path;
    QString systemError;
    if (setup.startsWith(QStringLiteral("pty")))
        path = pty.slave;
    else if (setup == QStringLiteral("missing"))
        path = QStringLiteral("/dev/ttyUSB-zeltra-test-absent");
    else if (setup.startsWith(QStringLiteral("file"))) {
        path = root.path() + QStringLiteral("/ttyFAKE0");
        QVERIFY(writeFile(path, "x"));
        // As root, a device of the dialout group that only its group may open; as a user, a
        // file nobody may open.
        const group* dialout = ::getgrnam("dialout");
        if (::geteuid() == 0 && dialout)
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 0, dialout->gr_gid), 0);
    }
    if (setup.endsWith(QStringLiteral(" 0")))
        QCOMPARE(::chmod(QFile::encodeName(path).constData(),
                         ::geteuid() == 0 && ::getgrnam("dialout") ? 0060 : 0),
                 0);
    if (setup.endsWith(QStringLiteral("lock"))) {
        qint64 pid = QCoreApplication::applicationPid();
        if (!setup.contains(QStringLiteral("own"))) {
            holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
            QVERIFY(holder.waitForStarted());
            pid = holder.processId();
        }
        if (setup.contains(QStringLiteral("stale"))) {
            holder.kill();
            holder.waitForFinished();
        }
        const QString name =
            QStringLiteral("/LCK..") + path.mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
        const QByteArray text =
            setup.contains(QStringLiteral("qt"))
                ? QByteArray::number(pid) + "\nsleep\nhost\n"
                : QByteArray::number(pid).rightJustified(10, ' ') + " sleep root\n";
        QVERIFY(writeFile(locks + name, text));
    }
    if (setup.endsWith(QStringLiteral("busy")))
        systemError =
            QStringLiteral("Can't open device COM1: Permission error while locking the device");

    const int number = setup == QStringLiteral("none") ? 0 : 33;
    const auto d = diagnosePort(number, setup == QStringLiteral("none") ? QString() : path,
                                systemError, {locks});
    const QString text = d.text();
    QVERIFY2(int(d.reason) == reason, qPrintable(text));
    QCOMPARE(text.isEmpty(), reason == int(Reason::None));
    QCOMPARE(d.note().isEmpty(), reason == int(Reason::None));
    for (QString w : words) {
        w.replace(QStringLiteral("$path"), path)
            .replace(QStringLiteral("$group"), groupOf(path))
            .replace(QStringLiteral("$pid"), QString::number(holder.processId()));
        QVERIFY2(text.contains(w), qPrintable(w + QStringLiteral(" | ") + text));
    }
    holder.kill();
    holder.waitForFinished();
}

void TestPortDiagnosis::lockFileNames_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("usb adapter") << "/dev/ttyUSB0" << QStringList{"LCK..ttyUSB0"};
    QTest::newRow("pseudo-terminal") << "/dev/pts/3" << QStringList{"LCK..3", "LCK..pts_3"};
    QTest::newRow("link elsewhere") << "/tmp/kbd" << QStringList{"LCK..kbd", "LCK.._tmp_kbd"};
}

void TestPortDiagnosis::lockFileNames() {
    QFETCH(QString, path);
    QFETCH(QStringList, names);
    QCOMPARE(zeltra::link::lockFileNames(path), names);
}

// The picker lists a port the user may not open with the reason beside it.
void TestPortDiagnosis::pickerMarksPortsThatCannotOpen() {
    Pty closed, open;
    QVERIFY(!closed.slave.isEmpty() && !open.slave.isEmpty());
    QCOMPARE(::chmod(QFile::encodeName(closed.slave).constData(), 0), 0);
    qputenv("ZELTRA_COM200", closed.slave.toLocal8Bit());
    qputenv("ZELTRA_COM201", open.slave.toLocal8Bit());
    TComNumberF picker;
    picker.show();
    auto* box = picker.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    QVERIFY(box);
    const QAbstractItemModel* ports = box->model();
    QString closedNote, openNote = QStringLiteral("<not listed>");
    for (int row = 0; row < ports->rowCount(); ++row) {
        const QString name = ports->index(row, 0).data().toString();
        const QString description = ports->index(row, 2).data().toString();
        if (name == QStringLiteral("COM200"))
            closedNote = description;
        else if (name == QStringLiteral("COM201"))
            openNote = description;
    }
    QCOMPARE(closedNote,
             QStringLiteral("cannot open: no permission (group %1)").arg(groupOf(closed.slave)));
    QCOMPARE(openNote, QString());
    picker.hide();
    qunsetenv("ZELTRA_COM200");
    qunsetenv("ZELTRA_COM201");
}

QTEST_MAIN(TestPortDiagnosis)
#include "tst_port_diagnosis.moc"
