// The layout card: pages as the core lays pieces out on them, and the PDF `zeltra-cli print`
// makes, read back with pdftotext as a user would search it.
#include "CliRun.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include "model/LayoutWords.h"
#include "print/CardPages.h"

#include <QDate>
#include <QRectF>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace zeltra;
using Pages = QList<card::Page>;

namespace {

constexpr double Margin = 15 / 25.4 * 72 - 0.5; // 15 mm in points, less pdftotext's rounding

// What a user looks for on the card: each key's function and every time of the layout.
QStringList expectedWords(const QByteArray& layout) {
    const bool machine = layout.size() == int(mcn::Size);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(layout.constData());
    QStringList expected{"studio A.bin", QDate::currentDate().toString(Qt::ISODate)};
    for (int k = 0; k < KeyCount; ++k)
        expected << words::functionName(machine ? 0 : 1, bytes[4 + k]);
    if (!machine) // a name with control characters in it is printed with dots for them
        return expected +
               QStringList{"LCRS", "StereoA4", "Format memories", "Trims", "User-H", "Bad.[2J"};
    for (int c = 0; c < mcn::CueCount; ++c)
        expected << words::timecodeWords(bytes + mcn::Cues + mcn::CueSize * c);
    for (int l = 0; l < mcn::LoopCount; ++l)
        expected << words::timecodeWords(bytes + mcn::Loops + mcn::LoopSize * l)
                 << words::timecodeWords(bytes + mcn::Loops + mcn::LoopSize * l + 4);
    for (int g = 0; g < mcn::GpoCount; ++g)
        expected << words::timecodeWords(bytes + mcn::Gpos + mcn::GpoSize * g);
    return expected + QStringList{"GPO 12", "Macro H", "Mark In", "Loop 16", "Cue 32"};
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
  private slots:
    // A table goes on under its head again; a piece too tall for any page gets a page of its
    // own, with no empty page before it.
    void pages() {
        QVERIFY(card::paginate({50, 50, 30}, {0, 10, 10}, 0, 100) ==
                Pages({{{0, 0}, {1, 50}}, {{2, 0, true}, {2, 10}}}));
        QVERIFY(card::paginate({150, 30, 30}, {0, 0, 0}, 0, 100) ==
                Pages({{{0, 0}}, {{1, 0}, {2, 30}}}));
    }

    void card_data() {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QStringList>("page"); // none: A4
        QTest::addColumn<int>("pageCount");    // monitor's tells a page size not taken
        const QStringList letter{"--page", "letter"};
        QTest::newRow("machine on A4") << knownMachineLayout() << QStringList{} << 3;
        QTest::newRow("machine on Letter") << knownMachineLayout() << letter << 3;
        QTest::newRow("monitor on A4") << knownMonitorLayout() << QStringList{"--page", "A4"} << 2;
        QTest::newRow("monitor on Letter") << knownMonitorLayout() << letter << 3;
    }
    void card() {
        QFETCH(QByteArray, layout);
        QFETCH(QStringList, page);
        QFETCH(int, pageCount);
        QTemporaryDir dir;
        const QString bin = dir.filePath("studio A.bin"), pdf = dir.filePath("card.pdf");
        writeFile(bin, layout);
        // A display that is set but gone, as after a closed ssh -X session: a PDF needs none.
        auto env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987"));
        QCOMPARE(cli(QStringList{"print", bin, pdf} + page, env).code, 0);
        const Run bbox = run("pdftotext", {"-bbox", pdf, "-"});
        QVERIFY2(bbox.code == 0, "pdftotext is missing: run scripts/install-deps");

        // -bbox: each page's size, then its words with their boxes in points.
        QStringList pages; // the words of each page
        QRectF body;       // the current page less its margins
        QXmlStreamReader xml(bbox.out);
        const auto at = [&](const char* name) { return xml.attributes().value(name).toDouble(); };
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"page") {
                body = QRectF(0, 0, at("width"), at("height"))
                           .adjusted(Margin, Margin, -Margin, -Margin);
                pages << QString();
            } else if (xml.name() == u"word") {
                const QRectF box(QPointF(at("xMin"), at("yMin")), QPointF(at("xMax"), at("yMax")));
                const QString word = xml.readElementText();
                QVERIFY2(body.contains(box), qPrintable(word + " runs past the margin"));
                pages.last() += word + QLatin1Char(' ');
            }
        }
        QCOMPARE(pages.size(), pageCount);
        for (int p = 0; p < pageCount; ++p)
            QVERIFY(pages[p].contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pageCount)));
        for (const QString& word : expectedWords(layout))
            QVERIFY2(pages.join(u' ').contains(word), qPrintable(word + " is not on the card"));
        // The layout itself, by any name, is no place for its card.
        QVERIFY(QFile::link(bin, dir.filePath("link.pdf")));
        QCOMPARE(cli({"print", bin, dir.filePath("link.pdf")}).code, 1);
        QCOMPARE(readFile(bin), layout);
    }
};

QTEST_GUILESS_MAIN(TestPrint)
#include "tst_print.moc"
