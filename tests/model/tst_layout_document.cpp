// Layouts as documents: random images of both kinds through export and import, every class
// of import fault, and named fields over unnamed bytes.
#include "model/Images.h"
#include "model/LayoutDocument.h"

#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

using namespace zeltra;

namespace {

QByteArray randomImage(QRandomGenerator& rng, int kind)
{
    QByteArray b(qsizetype(kind == KbdMachine ? mcn::Size : mon::Size), '\0');
    for (char& c : b)
        c = char(rng.bounded(256));
    // Half of them with real names and timecodes, so the named forms are taken too.
    for (int r = 0; rng.bounded(2) && kind == KbdMonitor && r < mon::FormatCount; ++r)
        b[qsizetype(MonitorImage::formatOffset(r))] = 8;
    for (auto i = qsizetype(mcn::Cues); rng.bounded(2) && kind == KbdMachine && i < qsizetype(mcn::MacroTable); ++i)
        b[i] = char((rng.bounded(10) << 4) | rng.bounded(10));
    b[0] = char(kind);
    return b;
}

// The document of an all-zero image, with the first `from` replaced by `to` (all of it
// replaced when `from` is empty).
QByteArray edited(int kind, const QByteArray& from, const QByteArray& to)
{
    QByteArray image(qsizetype(kind == KbdMachine ? mcn::Size : mon::Size), '\0');
    image[0] = char(kind);
    QByteArray doc = QJsonDocument(layoutdoc::exportImage(image)).toJson(QJsonDocument::Compact);
    if (from.isEmpty())
        return to;
    const auto at = doc.indexOf(from);
    return at < 0 ? QByteArray("no such text in the document") : doc.replace(at, from.size(), to);
}

} // namespace

class TestLayoutDocument : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("machine") << int(KbdMachine);
        QTest::newRow("monitor") << int(KbdMonitor);
    }
    void roundTrip()
    {
        QFETCH(int, kind);
        QRandomGenerator rng(19 + kind);
        for (int n = 0; n < 400; ++n) {
            const QByteArray image = randomImage(rng, kind);
            const auto back = layoutdoc::importDocument(layoutdoc::documentText(layoutdoc::exportImage(image)));
            QVERIFY2(back.ok(), qPrintable(back.error));
            QCOMPARE(back.image.toHex(), image.toHex());
        }
    }

    void importFault_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("error");
        const QByteArray key5 = R"({"code":0,"function":"","index":5})";
        QTest::newRow("bad JSON") << QByteArray() << QByteArray("{\n \"kind\": ]") << "line 2, column 11: ";
        QTest::newRow("a list") << QByteArray() << QByteArray("[]") << "document: not a JSON object";
        QTest::newRow("too large") << QByteArray() << QByteArray(layoutdoc::MaxDocumentBytes + 1, ' ')
                                   << "document: larger than";
        QTest::newRow("out of range") << key5 << QByteArray(R"({"code":300,"function":"","index":5})")
                                      << "keys[4].code: 300 is not a byte";
        QTest::newRow("far out of range") << QByteArray("\"number\":0") << QByteArray("\"number\":1e100")
                                          << "cues[0].number: 1e+100 is not in 0..65535";
        QTest::newRow("wrong type") << QByteArray("\"number\":0") << QByteArray("\"number\":\"7\"")
                                    << "cues[0].number: \"7\" is not a number";
        QTest::newRow("not whole") << QByteArray("\"code\":0") << QByteArray("\"code\":1.5")
                                   << "keys[0].code: 1.5 is not a whole number";
        QTest::newRow("missing") << QByteArray("\"in\":\"00:00:00:00\",") << QByteArray() << "loops[0].in: missing";
        QTest::newRow("unknown") << QByteArray(R"({"index":2,"timecode")")
                                 << QByteArray(R"({"colour":1,"index":2,"timecode")")
                                 << "gpoTimes[1].colour: unknown field";
        QTest::newRow("key with a raw line break") << QByteArray("{\"code\":0") << QByteArray("{\"a\nb\":1,\"code\":0")
                                                   << "keys[0]: a raw control character (10) inside text; write it as \\u000a";
        QTest::newRow("raw control byte in text") << QByteArray("\"endAction\":\"Pause\"")
                                                  << QByteArray("\"endAction\":\"Pa\x01use\"")
                                                  << "loops[0].endAction: a raw control character (1) inside text";
        // A hand merge that left two values: neither wins.
        QTest::newRow("key given twice") << QByteArray("{\"code\":0") << QByteArray("{\"code\":300,\"code\":0")
                                         << "keys[0]: \"code\" given twice";
        QTest::newRow("key given twice, valid value last")
            << QByteArray("{\"code\":0") << QByteArray("{\"code\":0,\"code\":71") << "keys[0]: \"code\" given twice";
        QTest::newRow("key given twice, once escaped")
            << QByteArray("{\"code\":0") << QByteArray("{\"\\u0063ode\":1,\"code\":0") << "keys[0]: \"code\" given twice";
        QTest::newRow("format given twice") << QByteArray("\"format\":1") << QByteArray("\"format\":1,\"format\":1")
                                            << "document: \"format\" given twice";
        QTest::newRow("keys given twice") << QByteArray("\"format\":1") << QByteArray("\"keys\":[],\"format\":1")
                                          << "document: \"keys\" given twice";
        QTest::newRow("not a timecode") << QByteArray("\"timecode\":\"00:00:00:00\"")
                                        << QByteArray("\"timecode\":\"25:61\"")
                                        << "cues[0].timecode: \"25:61\" is not a timecode";
        QTest::newRow("not a choice") << QByteArray("\"endAction\":\"Pause\"") << QByteArray("\"endAction\":\"Jump\"")
                                      << "loops[0].endAction: \"Jump\" is not one of";
        QTest::newRow("short hex") << QByteArray("\"unitConfig\":\"00 ") << QByteArray("\"unitConfig\":\"")
                                   << "unitConfig: 15 bytes, 16 expected";
        QTest::newRow("bad hex") << QByteArray("\"portAConfig\":\"00") << QByteArray("\"portAConfig\":\"zz")
                                 << "portAConfig: \"zz\" is not a hex byte";
        for (const char* loose : {"+F", "+0", "-0"})
            QTest::addRow("signed hex %s", loose) << QByteArray("\"portAConfig\":\"00")
                                                  << "\"portAConfig\":\"" + QByteArray(loose)
                                                  << QStringLiteral("portAConfig: \"%1\" is not a hex byte").arg(loose);
        QTest::newRow("entries") << QByteArray(R"(,{"code":0,"function":"","index":22})") << QByteArray()
                                 << "keys: 21 entries, 22 expected";
        QTest::newRow("index") << QByteArray(R"({"index":4,"number")") << QByteArray(R"({"index":9,"number")")
                               << "cues[3].index: 9, expected 4";
        QTest::newRow("repeat disagrees") << key5 << QByteArray(R"({"code":0,"function":"Bank","index":5})")
                                          << "keys[4].function: \"Bank\" does not match";
        QTest::newRow("kind") << QByteArray("\"machine\"") << QByteArray("\"piano\"")
                              << "kind: \"piano\" is not one of machine, monitor";
        QTest::newRow("format") << QByteArray("\"format\":1") << QByteArray("\"format\":2")
                                << "format: 2 is not a document format";
        QTest::newRow("unnamed past the end") << QByteArray("\"offset\":482") << QByteArray("\"offset\":483")
                                              << "unnamedBytes[1].bytes: 2 bytes, 1..1 expected";
        QTest::newRow("not an object") << QByteArray(R"([{"code":0,"function":"","macro":"A"})") << QByteArray("[4")
                                       << "macros[0]: 4 is not an object";
    }
    void importFault()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, error);
        const layoutdoc::Imported in = layoutdoc::importDocument(edited(KbdMachine, from, to));
        QVERIFY2(in.error.startsWith(error), qPrintable(in.error));
        QVERIFY(in.image.isEmpty());
    }

    // A hand-edited named field wins over unnamed bytes that still hold the old ones.
    void namedWins_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("format name") << QByteArray("\"name\":null") << QByteArray("\"name\":\"Dialog\"")
                                     << int(MonitorImage::formatOffset(0))
                                     << QByteArray("\x08"
                                                   "Dialog  ");
        QTest::newRow("key code") << QByteArray("\"offset\":1}")
                                  << QByteArray(R"("offset":1},{"bytes":"FF FF","offset":3})") << 3
                                  << QByteArray("\xff\x00", 2);
    }
    void namedWins()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        const layoutdoc::Imported in = layoutdoc::importDocument(edited(KbdMonitor, from, to));
        QVERIFY2(in.ok(), qPrintable(in.error));
        QCOMPARE(in.image.mid(offset, bytes.size()).toHex(), bytes.toHex());
    }
};

QTEST_GUILESS_MAIN(TestLayoutDocument)
#include "tst_layout_document.moc"
