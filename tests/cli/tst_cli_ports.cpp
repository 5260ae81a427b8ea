// zeltra-cli on several keyboards at once, against zeltra-emu on pseudo-terminals.
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

struct Run {
    int code = -1;
    QStringList out;
    qint64 ms = 0;
};

Run cli(const QStringList& args)
{
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.start(QStringLiteral(ZELTRA_CLI_PATH), args);
    if (!p.waitForFinished(120000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput())
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            clock.elapsed()};
}

} // namespace

class TestCliPorts : public QObject {
    Q_OBJECT
  private slots:
    // Three keyboards take the layout while the fourth stays silent, in about the time one
    // takes alone.
    void fourKeyboardsOneSilent()
    {
        QTemporaryDir dir;
        const QString layout = dir.filePath("l.bin");
        writeFile(layout, knownMachineLayout());
        std::vector<std::unique_ptr<EmuProcess>> keyboards;
        QStringList args{"download", layout, "--block", "Keyboard", "--verify"};
        for (int k = 0; k < 4; ++k) {
            const QString link = dir.filePath(QStringLiteral("kbd%1").arg(k));
            keyboards.push_back(std::make_unique<EmuProcess>());
            QStringList emu{"--link", link, "--eeprom",
                            dir.filePath(QStringLiteral("ee%1.bin").arg(k))};
            if (k == 2)
                emu << "--silent";
            QVERIFY(keyboards.back()->start(emu));
            args << "--port" << link;
        }
        const Run alone =
            cli({"download", layout, "--block", "Keyboard", "--verify", "--port", args[6]});
        QCOMPARE(alone.code, 0);

        const Run all = cli(args);
        QCOMPARE(all.code, 4);
        QCOMPARE(all.out.size(), 4);
        for (int k = 0; k < 4; ++k) {
            const QString name = dir.filePath(QStringLiteral("kbd%1").arg(k));
            const QString expected = k == 2 ? name + ": Abort No Coms" : name + ": done";
            QVERIFY2(all.out[k].startsWith(expected), qPrintable(all.out.join('\n')));
        }
        QVERIFY2(all.ms < 2 * alone.ms + 1000,
                 qPrintable(QStringLiteral("%1 ms, alone %2 ms").arg(all.ms).arg(alone.ms)));
    }
};

QTEST_GUILESS_MAIN(TestCliPorts)
#include "tst_cli_ports.moc"
