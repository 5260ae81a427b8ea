// Port numbers, devices, the port text rule and the picker's placement.
#include "link/ComPorts.h"

#include <QTest>

using namespace zeltra::link;

namespace {
QProcessEnvironment environment(const QStringList& vars)
{
    QProcessEnvironment env;
    for (const QString& v : vars)
        env.insert(v.section(QLatin1Char('='), 0, 0), v.section(QLatin1Char('='), 1));
    return env;
}
} // namespace

class TestLinkComPorts : public QObject {
    Q_OBJECT
  private slots:
    void devicePath_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM1") << 1 << QStringList() << "/dev/ttyS0";
        QTest::newRow("COM32") << 32 << QStringList() << "/dev/ttyS31";
        QTest::newRow("COM33") << 33 << QStringList() << "/dev/ttyUSB0";
        QTest::newRow("COM64") << 64 << QStringList() << "/dev/ttyUSB31";
        QTest::newRow("COM65") << 65 << QStringList() << "/dev/ttyACM0";
        QTest::newRow("COM96") << 96 << QStringList() << "/dev/ttyACM31";
        QTest::newRow("COM97 unmapped") << 97 << QStringList() << QString();
        QTest::newRow("COM0") << 0 << QStringList() << QString();
        QTest::newRow("negative") << -3 << QStringList() << QString();
        QTest::newRow("env pty") << 7 << QStringList{"ZELTRA_COM7=/dev/pts/3"} << "/dev/pts/3";
        QTest::newRow("env beyond the map")
            << 200 << QStringList{"ZELTRA_COM200=/tmp/k"} << "/tmp/k";
        QTest::newRow("env empty is no override")
            << 7 << QStringList{"ZELTRA_COM7="} << "/dev/ttyS6";
        QTest::newRow("env other port")
            << 7 << QStringList{"ZELTRA_COM8=/dev/pts/3"} << "/dev/ttyS6";
        QTest::newRow("over three digits") << 1000 << QStringList{"ZELTRA_COM1000=/x"} << QString();
    }
    void devicePath()
    {
        QFETCH(int, number);
        QFETCH(QStringList, env);
        QFETCH(QString, path);
        QCOMPARE(comDevicePath(number, environment(env)), path);
    }

    void portList()
    {
        const QList<SystemDevice> devices{{"/dev/ttyUSB1", "FT232R"},
                                          {"/dev/ttyS0", ""},
                                          {"/dev/ttyAMA0", "board"},
                                          {"/dev/ttyUSB0", "taken by env"}};
        const auto env = environment({"ZELTRA_COM7=/dev/pts/3", "ZELTRA_COM33=/dev/pts/9",
                                      "ZELTRA_COMx=/y", "ZELTRA_COM007=/z", "HOME=/home/u"});
        const QList<ComPortEntry> expected{{1, "COM1", "/dev/ttyS0", ""},
                                           {7, "COM7", "/dev/pts/3", ""},
                                           {33, "COM33", "/dev/pts/9", ""},
                                           {34, "COM34", "/dev/ttyUSB1", "FT232R"}};
        QCOMPARE(availableComPorts(devices, env), expected);
    }

    void numberFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("COM3") << "COM3" << 3;
        QTest::newRow("Com3") << "Com3" << 3;
        QTest::newRow("COM12") << "COM12" << 12;
        QTest::newRow("COM123") << "COM123" << 123;
        QTest::newRow("only characters 4 to 6") << "COM1234" << 123;
        QTest::newRow("Com alone") << "Com" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "COMx" << 0;
        QTest::newRow("digit and letter") << "COM4a" << 0;
        QTest::newRow("blank before digit") << "COM 7" << 7;
        QTest::newRow("any prefix") << "xyz9" << 9;
    }
    void numberFromText()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QCOMPARE(portNumberFromText(text), number);
    }

    void placement_data()
    {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QRect>("desktop");
        QTest::addColumn<QPoint>("topLeft");
        const QRect hd(0, 0, 1920, 1080);
        QTest::newRow("fits") << QPoint(10, 10) << hd << QPoint(10, 10);
        QTest::newRow("right edge") << QPoint(1900, 10) << hd << QPoint(1720, 10);
        QTest::newRow("bottom edge") << QPoint(10, 1050) << hd << QPoint(10, 980);
        QTest::newRow("corner") << QPoint(1919, 1079) << hd << QPoint(1720, 980);
        QTest::newRow("exactly fits") << QPoint(1720, 980) << hd << QPoint(1720, 980);
        QTest::newRow("second screen")
            << QPoint(3100, 1000) << QRect(1920, 0, 1280, 1024) << QPoint(3000, 924);
    }
    void placement()
    {
        QFETCH(QPoint, cursor);
        QFETCH(QRect, desktop);
        QFETCH(QPoint, topLeft);
        QCOMPARE(placeAtCursor(cursor, QSize(200, 100), desktop), topLeft);
    }
};

QTEST_GUILESS_MAIN(TestLinkComPorts)
#include "tst_link_comports.moc"
