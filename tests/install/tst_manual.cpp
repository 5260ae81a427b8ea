// The manual's renderer: Markdown chapters into one PDF, each chapter on a page of its own,
// with its pictures; a missing chapter fails the build, a picture not taken yet is left out.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {
bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

int pages(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type /Page\\n"));
    return int(QString::fromLatin1(pdf).count(page));
}

struct Render {
    int status = -1;
    QString err;
    QByteArray pdf;
};

Render render(const QString& out, const QStringList& chapters)
{
    QProcess p;
    // As at build time: a sanitizer build's font libraries' leaks are not the renderer's.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELTRA_MDPDF),
            QStringList{QStringLiteral("--title"), QStringLiteral("Test"), out} + chapters);
    Render r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.status = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    QFile f(out);
    if (f.open(QIODevice::ReadOnly))
        r.pdf = f.readAll();
    return r;
}
} // namespace

class TestManual : public QObject {
    Q_OBJECT
private slots:
    void chaptersAndPictures();
    void missingChapterFails();
};

void TestManual::chaptersAndPictures()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("shots")));
    QImage picture(1600, 400, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("shots/wide.png"))));
    const QString one = dir.filePath(QStringLiteral("one.md"));
    const QString two = dir.filePath(QStringLiteral("two.md"));
    QVERIFY(writeFile(one, "# One\n\nText.\n\n![A wide picture](shots/wide.png)\n"));
    QVERIFY(writeFile(two, "# Two\n\n![Not taken yet](shots/later.png)\n\n| a | b |\n|---|---|\n| 1 | 2 |\n"));

    const Render r = render(dir.filePath(QStringLiteral("out.pdf")), {one, two});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(r.pdf.startsWith("%PDF-"));
    QCOMPARE(pages(r.pdf), 2); // the second chapter starts a page
    QVERIFY(r.pdf.contains("/Subtype /Image"));
    QVERIFY2(r.err.contains(QStringLiteral("later.png")), qPrintable(r.err));
    QVERIFY(!r.err.contains(QStringLiteral("wide.png")));

    const Render single = render(dir.filePath(QStringLiteral("two.pdf")), {two});
    QCOMPARE(single.status, 0);
    QCOMPARE(pages(single.pdf), 1);
}

void TestManual::missingChapterFails()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    QVERIFY(writeFile(out, "old"));
    const Render r = render(out, {dir.filePath(QStringLiteral("absent.md"))});
    QVERIFY(r.status > 0);
    QVERIFY2(r.err.contains(QStringLiteral("absent.md")), qPrintable(r.err));
    QCOMPARE(r.pdf, QByteArray("old")); // the previous file is left as it was
}

QTEST_GUILESS_MAIN(TestManual)
#include "tst_manual.moc"
