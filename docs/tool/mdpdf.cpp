// zeltra-mdpdf: renders Markdown chapters into one PDF with Qt's own Markdown reader and PDF
// writer. Used at build time on the offscreen platform.
//
//   zeltra-mdpdf --title TITLE OUT.pdf CHAPTER.md...
//
// Chapters are joined in the order given, each first heading starting a new page. Pictures
// are looked for beside their chapter and shrunk to the width of the text.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

namespace {

constexpr qint64 MaxChapterBytes = 4 * 1024 * 1024;
constexpr qreal MaxPictureWidth = 620; // document pixels: the text width of an A4 page

void fail(const QString& text) {
    std::fprintf(stderr, "zeltra-mdpdf: %s\n", qPrintable(text));
}

bool readChapter(const QString& path, QString* text) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        fail(path + QStringLiteral(": ") + f.errorString());
        return false;
    }
    if (f.size() > MaxChapterBytes) {
        fail(path + QStringLiteral(": larger than 4 MiB"));
        return false;
    }
    *text += QString::fromUtf8(f.readAll()) + QStringLiteral("\n\n");
    return true;
}

// Every chapter after the first starts on a new page.
void breakBeforeChapters(QTextDocument& doc) {
    bool first = true;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() != 1)
            continue;
        if (!first) {
            QTextCursor c(b);
            QTextBlockFormat f = b.blockFormat();
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.setBlockFormat(f);
        }
        first = false;
    }
}

// Pictures keep their proportions and are never wider than the text. A picture not taken yet
// (of a window still being built) is left out with a warning, so the rest of the manual renders.
void fitPictures(QTextDocument& doc) {
    struct Picture {
        int position, length;
        QTextImageFormat format;
    };
    QList<Picture> pictures;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.charFormat().isImageFormat())
                pictures.append(
                    {frag.position(), frag.length(), frag.charFormat().toImageFormat()});
        }
    }
    // From the end, so that a picture left out moves none of those still to do.
    for (auto p = pictures.rbegin(); p != pictures.rend(); ++p) {
        QTextCursor c(&doc);
        c.setPosition(p->position);
        c.setPosition(p->position + p->length, QTextCursor::KeepAnchor);
        const QString path = doc.baseUrl().resolved(QUrl(p->format.name())).toLocalFile();
        const QImage picture(path);
        const QSize size = picture.size();
        if (picture.isNull()) {
            fail(QStringLiteral("warning: picture left out, not found or unreadable: ") + path);
            c.removeSelectedText();
            continue;
        }
        const qreal width = std::min<qreal>(size.width(), MaxPictureWidth);
        p->format.setWidth(width);
        p->format.setHeight(size.height() * width / size.width());
        c.setCharFormat(p->format);
        // Given to the document, so that the copy it prints from has the picture too.
        doc.addResource(QTextDocument::ImageResource, QUrl(p->format.name()), picture);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString title;
    if (args.size() >= 2 && args.first() == QStringLiteral("--title")) {
        title = args.at(1);
        args = args.mid(2);
    }
    if (args.size() < 2) {
        fail(QStringLiteral("usage: zeltra-mdpdf --title TITLE OUT.pdf CHAPTER.md..."));
        return 2;
    }
    const QString out = args.takeFirst();
    QString markdown;
    for (const QString& chapter : args) {
        if (!readChapter(chapter, &markdown))
            return 1;
    }

    QTextDocument doc;
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(args.first()).absolutePath() + QLatin1Char('/')));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown);
    breakBeforeChapters(doc);
    fitPictures(doc);

    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(out + QStringLiteral(": ") + file.errorString());
        return 1;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("zeltra-mdpdf"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        doc.print(&pdf);
    }
    if (!file.commit()) {
        fail(out + QStringLiteral(": ") + file.errorString());
        return 1;
    }
    return 0;
}
