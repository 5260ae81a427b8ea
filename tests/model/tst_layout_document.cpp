// Layouts as documents: random images of both kinds through export and import, every class
// of import fault, and named fields over unnamed bytes.
#include "model/Images.h"
#include "model/LayoutDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

using namespace zeltra;

namespace {

QByteArray randomImage(QRandomGenerator& rng, std::size_t size, char kind) {
    QByteArray b(qsizetype(size), '\0');
    for (char& c : b)
        c = char(rng.bounded(256));
    // Half of them with real names and timecodes, so the named forms are taken too.
    if (rng.bounded(2) && kind == KbdMonitor)
        for (int r = 0; r < mon::FormatCount; ++r)
            b[qsizetype(MonitorImage::formatOffset(r))] = 8;
    if (rng.bounded(2) && kind == KbdMachine)
        for (qsizetype i = qsizetype(mcn::Cues); i < qsizetype(mcn::MacroTable); ++i)
            b[i] = char((rng.bounded(10) << 4) | rng.bounded(10));
    b[0] = kind;
    return b;
}

// Sets the value at "keys[4].code" in a document.
QJsonValue setAt(const QJsonValue& in, QStringList path, const QJsonValue& value) {
    if (path.isEmpty())
        return value;
    QString step = path.takeFirst();
    if (!step.startsWith(QLatin1Char('[')) && step.endsWith(QLatin1Char(']'))) {
        const auto open = step.indexOf(QLatin1Char('['));
        const int i = step.mid(open + 1).chopped(1).toInt();
        path.prepend(QStringLiteral("[%1]").arg(i));
        step = step.left(open);
    }
    if (step.startsWith(QLatin1Char('['))) {
        QJsonArray a = in.toArray();
        const int i = step.mid(1).chopped(1).toInt();
        if (value.isUndefined() && path.isEmpty())
            a.removeAt(i);
        else
            a[i] = setAt(a[i], path, value);
        return a;
    }
    QJsonObject o = in.toObject();
    if (value.isUndefined() && path.isEmpty())
        o.remove(step);
    else
        o[step] = setAt(o.value(step), path, value);
    return o;
}

QJsonObject document(std::size_t size, char kind) {
    QByteArray image(qsizetype(size), '\0');
    image[0] = kind;
    return layoutdoc::exportImage(image);
}

} // namespace

class TestLayoutDocument : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("machine") << int(KbdMachine);
        QTest::newRow("monitor") << int(KbdMonitor);
    }
    void roundTrip() {
        QFETCH(int, kind);
        QRandomGenerator rng(19 + kind);
        for (int n = 0; n < 400; ++n) {
            const QByteArray image =
                randomImage(rng, kind == KbdMachine ? mcn::Size : mon::Size, char(kind));
            const QByteArray text = layoutdoc::documentText(layoutdoc::exportImage(image));
            const layoutdoc::Imported back = layoutdoc::importDocument(text);
            QVERIFY2(back.ok(), qPrintable(back.error));
            QCOMPARE(back.image.toHex(), image.toHex());
        }
    }

    void importFault_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value"); // undefined: the field is taken out
        QTest::addColumn<QString>("error");
        QTest::newRow("out of range")
            << "keys[4].code" << QJsonValue(300) << "keys[4].code: 300 is not a byte";
        QTest::newRow("key with a line break")
            << "keys[0].a\nb" << QJsonValue(1) << "keys[0].a.b: unknown field";
        QTest::newRow("far out of range")
            << "cues[0].number" << QJsonValue(1e100) << "cues[0].number: 1e+100 is not in 0..65535";
        QTest::newRow("wrong type")
            << "cues[0].number" << QJsonValue("7") << "cues[0].number: \"7\" is not a number";
        QTest::newRow("not whole")
            << "keys[0].code" << QJsonValue(1.5) << "keys[0].code: 1.5 is not a whole number";
        QTest::newRow("missing") << "loops[2].in" << QJsonValue(QJsonValue::Undefined)
                                 << "loops[2].in: missing";
        QTest::newRow("unknown") << "gpoTimes[1].colour" << QJsonValue(1)
                                 << "gpoTimes[1].colour: unknown field";
        QTest::newRow("not a timecode") << "cues[1].timecode" << QJsonValue("25:61")
                                        << "cues[1].timecode: \"25:61\" is not a timecode";
        QTest::newRow("not a choice") << "loops[0].endAction" << QJsonValue("Jump")
                                      << "loops[0].endAction: \"Jump\" is not one of";
        QTest::newRow("short hex")
            << "unitConfig" << QJsonValue("00 11") << "unitConfig: 2 bytes, 16 expected";
        QTest::newRow("bad hex") << "portAConfig" << QJsonValue("zz")
                                 << "portAConfig: \"zz\" is not a hex byte";
        QTest::newRow("entries") << "keys[21]" << QJsonValue(QJsonValue::Undefined)
                                 << "keys: 21 entries, 22 expected";
        QTest::newRow("index") << "cues[3].index" << QJsonValue(9)
                               << "cues[3].index: 9, expected 4";
        QTest::newRow("repeat disagrees") << "keys[4].function" << QJsonValue("Bank")
                                          << "keys[4].function: \"Bank\" does not match";
        QTest::newRow("kind") << "kind" << QJsonValue("piano")
                              << "kind: \"piano\" is not one of machine, monitor";
        QTest::newRow("format") << "format" << QJsonValue(2)
                                << "format: 2 is not a document format";
        QTest::newRow("unnamed past the end") << "unnamedBytes[1].offset" << QJsonValue(483)
                                              << "unnamedBytes[1].bytes: 2 bytes, 1..1 expected";
        QTest::newRow("not an object")
            << "macros[0]" << QJsonValue(4) << "macros[0]: 4 is not an object";
    }
    void importFault() {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(QString, error);
        const QJsonValue doc =
            setAt(document(mcn::Size, KbdMachine), path.split(QLatin1Char('.')), value);
        const layoutdoc::Imported in =
            layoutdoc::importDocument(QJsonDocument(doc.toObject()).toJson());
        QVERIFY2(in.error.startsWith(error), qPrintable(in.error));
        QVERIFY(in.image.isEmpty());
    }

    void badText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("bad JSON") << QByteArray("{\n \"kind\": ]") << "line 2, column 11: ";
        QTest::newRow("a list") << QByteArray("[]") << "document: not a JSON object";
        QTest::newRow("too large")
            << QByteArray(layoutdoc::MaxDocumentBytes + 1, ' ') << "document: larger than";
    }
    void badText() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const layoutdoc::Imported in = layoutdoc::importDocument(text);
        QVERIFY2(in.error.startsWith(error), qPrintable(in.error));
    }

    // A hand-edited named field wins over unnamed bytes that still hold the old ones.
    void namedWins_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("format name")
            << "formats[2].name" << QJsonValue("Dialog") << int(MonitorImage::formatOffset(2))
            << QByteArray("\x08"
                          "Dialog  ");
        QTest::newRow("kind byte")
            << "kind" << QJsonValue("monitor") << 0 << QByteArray("\x01\xff", 2);
    }
    void namedWins() {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QJsonValue doc = setAt(
            document(mon::Size, KbdMonitor), {"unnamedBytes"},
            QJsonArray{QJsonObject{{"offset", offset}, {"bytes", "FF FF FF FF FF FF FF FF FF"}}});
        doc = setAt(doc, path.split(QLatin1Char('.')), value);
        const layoutdoc::Imported in =
            layoutdoc::importDocument(QJsonDocument(doc.toObject()).toJson());
        QVERIFY2(in.ok(), qPrintable(in.error));
        QCOMPARE(in.image.mid(offset, bytes.size()).toHex(), bytes.toHex());
    }
};

QTEST_GUILESS_MAIN(TestLayoutDocument)
#include "tst_layout_document.moc"
