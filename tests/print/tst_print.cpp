// The layout card: pages as the core lays pieces out on them, and the PDF `zeltra-cli print`
// makes, read back with pdftotext as a user would search it: every function and time there,
// "Page N of M" on each page, nothing past the margins, no page left half empty before the
// next.
#include "KnownLayouts.h"
#include "TestFiles.h"

#include "model/LayoutWords.h"
#include "print/CardPages.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace zeltra;

constexpr double MarginPt = 15 / 25.4 * 72;

QString placed(const QList<card::Page>& pages)
{
    QStringList out;
    for (const card::Page& page : pages) {
        QStringList items;
        for (const card::Placed& p : page)
            items << QStringLiteral("%1%2@%3").arg(p.continued ? "+" : "").arg(p.piece).arg(p.top);
        out << items.join(QLatin1Char(' '));
    }
    return out.join(QStringLiteral(" | "));
}

QByteArray tool(const QString& program, const QStringList& args, int* status = nullptr)
{
    QProcess p;
    // A display that is set but gone, as after a closed ssh -X session: a PDF needs none.
    auto env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(120000);
    if (status)
        *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

struct Word {
    int page;
    double xMin, yMin, xMax, yMax;
};

// pdftotext -bbox: the page sizes and every word's box, in points.
struct Boxes {
    QList<QSizeF> pages;
    QList<Word> words;
};

Boxes boxes(const QString& pdf)
{
    Boxes b;
    const QString html = QString::fromUtf8(tool(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"}));
    const QRegularExpression page(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
    for (const QString& part : html.split(QStringLiteral("</page>"))) {
        if (const auto m = page.match(part); m.hasMatch())
            b.pages << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
        for (auto it = word.globalMatch(part); it.hasNext();) {
            const auto w = it.next();
            b.words << Word{int(b.pages.size()) - 1, w.captured(1).toDouble(), w.captured(2).toDouble(),
                            w.captured(3).toDouble(), w.captured(4).toDouble()};
        }
    }
    return b;
}

QString simplified(const QByteArray& text)
{
    return QString::fromUtf8(text).simplified();
}

// What a user looks for on the card: each key's function and every time of the layout.
QStringList expectedWords(const QByteArray& layout)
{
    const bool machine = layout.size() == int(mcn::Size);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(layout.constData());
    QStringList words;
    for (int k = 0; k < KeyCount; ++k)
        words << QStringLiteral("key%1").arg(k + 1)
              << zeltra::words::functionName(machine ? 0 : 1, bytes[4 + k]);
    if (machine) {
        for (int c = 0; c < mcn::CueCount; ++c)
            words << zeltra::words::timecodeWords(bytes + mcn::Cues + 6 * c);
        for (int l = 0; l < mcn::LoopCount; ++l)
            words << zeltra::words::timecodeWords(bytes + mcn::Loops + 10 * l)
                  << zeltra::words::timecodeWords(bytes + mcn::Loops + 10 * l + 4);
        for (int g = 0; g < mcn::GpoCount; ++g)
            words << zeltra::words::timecodeWords(bytes + mcn::Gpos + 4 * g) << QStringLiteral("GPO %1").arg(g + 1);
        words << "Macro H" << "Mark In" << "Loop 16" << "Cue 32";
    } else {
        // A name with control characters in it is printed with dots for them.
        words << "LCRS" << "StereoA4" << "Format memories" << "Trims" << "User-H" << "Bad.[2J";
    }
    words.removeAll(QString());
    return words;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
  private slots:
    void pages_data()
    {
        QTest::addColumn<QList<double>>("heights");
        QTest::addColumn<QList<double>>("continuation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all on one page") << QList<double>{10, 10, 10} << QList<double>{0, 0, 0}
                                         << "0@0 1@10 2@20";
        QTest::newRow("a new page where the next does not fit")
            << QList<double>{40, 40, 40} << QList<double>{0, 0, 0} << "0@0 1@40 | 2@0";
        QTest::newRow("exactly full") << QList<double>{50, 50, 10} << QList<double>{0, 0, 0}
                                      << "0@0 1@50 | 2@0";
        QTest::newRow("a table goes on under its head again")
            << QList<double>{50, 30, 30} << QList<double>{0, 10, 10} << "0@0 1@50 | +2@0 2@10";
        QTest::newRow("too tall for any page: a page of its own")
            << QList<double>{30, 150, 30} << QList<double>{0, 0, 0} << "0@0 | 1@0 | 2@0";
    }
    void pages()
    {
        QFETCH(QList<double>, heights);
        QFETCH(QList<double>, continuation);
        QFETCH(QString, expected);
        QCOMPARE(placed(card::paginate(heights, continuation, 0, 100)), expected);
    }

    void card_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("pageCount");
        QTest::newRow("machine on A4") << knownMachineLayout() << "A4" << 3;
        QTest::newRow("machine on Letter") << knownMachineLayout() << "Letter" << 3;
        QTest::newRow("monitor on A4") << knownMonitorLayout() << "A4" << 2;
        QTest::newRow("monitor on Letter") << knownMonitorLayout() << "Letter" << 3;
    }
    void card()
    {
        QFETCH(QByteArray, layout);
        QFETCH(QString, page);
        QFETCH(int, pageCount);
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(),
                 "pdftotext is missing: run scripts/install-deps");
        QTemporaryDir dir;
        const QString bin = dir.filePath("studio A.bin");
        const QString pdf = dir.filePath("card.pdf");
        writeFile(bin, layout);
        int status = -1;
        tool(QStringLiteral(ZELTRA_CLI_PATH), {"print", bin, pdf, "--page", page}, &status);
        QCOMPARE(status, 0);

        const QByteArray raw = tool(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        const QString text = simplified(raw);
        for (const QString& word : expectedWords(layout))
            QVERIFY2(text.contains(word), qPrintable(word + QStringLiteral(" is not on the card")));
        QVERIFY(text.contains(QStringLiteral("studio A.bin")));
        QVERIFY(text.contains(QDate::currentDate().toString(Qt::ISODate)));

        const Boxes b = boxes(pdf);
        QCOMPARE(b.pages.size(), pageCount);
        const QSizeF size = page == QLatin1String("A4") ? QSizeF(595.3, 841.9) : QSizeF(612, 792);
        for (int p = 0; p < pageCount; ++p) {
            QVERIFY(qAbs(b.pages[p].width() - size.width()) < 1 && qAbs(b.pages[p].height() - size.height()) < 1);
            QVERIFY2(text.contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pageCount)), qPrintable(text));
        }
        QList<double> lowest(pageCount, 0);
        for (const Word& w : b.words) {
            const QSizeF s = b.pages[w.page];
            QVERIFY2(w.xMin >= MarginPt - 0.5 && w.xMax <= s.width() - MarginPt + 0.5 &&
                         w.yMin >= MarginPt - 0.5 && w.yMax <= s.height() - MarginPt + 0.5,
                     qPrintable(QStringLiteral("a word past the margin on page %1 at %2,%3")
                                    .arg(w.page + 1).arg(w.xMax).arg(w.yMax)));
            if (w.yMax < s.height() - MarginPt - 20) // above the footer
                lowest[w.page] = std::max(lowest[w.page], w.yMax);
        }
        // A page ends only where the next piece would not fit on it.
        for (int p = 0; p + 1 < pageCount; ++p)
            QVERIFY2(lowest[p] > b.pages[p].height() * 0.75, qPrintable(QString::number(lowest[p])));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args"); // {bin} the layout, {pdf} the card
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("over the layout itself") << QStringList{"print", "{bin}", "{bin}"} << 1 << "is the layout itself";
        QTest::newRow("a paper size there is no such") << QStringList{"print", "{bin}", "{pdf}", "--page", "A3"} << 1
                                                       << "--page takes A4 or Letter";
        QTest::newRow("a file that is no layout") << QStringList{"print", "{pdf}", "{bin}"} << 2 << "";
        QTest::newRow("into a folder that is not there")
            << QStringList{"print", "{bin}", "{bin}.d/card.pdf"} << 2 << "";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString bin = dir.filePath("studio.bin");
        const QString pdf = dir.filePath("card.pdf");
        writeFile(bin, knownMachineLayout());
        writeFile(pdf, "not a layout");
        args.replaceInStrings("{bin}", bin).replaceInStrings("{pdf}", pdf);
        QProcess p;
        p.start(QStringLiteral(ZELTRA_CLI_PATH), args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), exitCode);
        QVERIFY2(QString::fromLocal8Bit(p.readAllStandardError()).contains(error), qPrintable(error));
        QCOMPARE(readFile(bin), knownMachineLayout());
        QCOMPARE(readFile(pdf), QByteArray("not a layout"));
    }
};

QTEST_GUILESS_MAIN(TestPrint)
#include "tst_print.moc"
