#include "DocumentCommands.h"

#include "ExitCodes.h"
#include "JsonResults.h"
#include "LayoutFile.h"
#include "LayoutText.h"

#include "model/LayoutDiff.h"
#include "model/LayoutDocument.h"
#include "model/SafeFile.h"

#include <cstdio>

namespace zeltra::cli {
namespace {

int fail(int code, const QString& line)
{
    std::fprintf(stderr, "zeltra-cli: %s\n", printable(line).toLocal8Bit().constData());
    return code;
}

void writeOut(const QByteArray& text)
{
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
}

bool isDocumentName(const QString& path)
{
    return path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

QString readDocument(const QString& path, QByteArray& image)
{
    const auto file = safefile::readHead(path, layoutdoc::MaxDocumentBytes + 1);
    if (!file.ok())
        return QStringLiteral("%1: %2").arg(path, file.error);
    const layoutdoc::Imported in = layoutdoc::importDocument(file.data);
    if (!in.ok())
        return QStringLiteral("%1: %2").arg(path, in.error);
    image = in.image;
    return {};
}

// A `.json` file is read as a document, anything else as a layout image.
QString readEither(const QString& path, QByteArray& image)
{
    return isDocumentName(path) ? readDocument(path, image) : readImageFile(path, image);
}

} // namespace

int exportLayout(const Options& o)
{
    QByteArray image;
    if (const QString e = readImageFile(o.file, image); !e.isEmpty())
        return fail(ExitFile, e);
    const QByteArray text = layoutdoc::documentText(layoutdoc::exportImage(image));
    if (o.second.isEmpty()) {
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return std::fflush(stdout) == 0 ? int(ExitDone)
                                        : fail(ExitFile, QStringLiteral("cannot write to stdout"));
    }
    if (o.second.contains(QChar::ReplacementCharacter))
        return fail(ExitFile, QStringLiteral("the file name is not valid UTF-8"));
    if (const QString e = safefile::writeAtomic(o.second, text); !e.isEmpty())
        return fail(ExitFile, QStringLiteral("%1: %2").arg(o.second, e));
    return ExitDone;
}

int importLayout(const Options& o)
{
    QByteArray image;
    if (const QString e = readDocument(o.file, image); !e.isEmpty())
        return fail(ExitFile, e);
    if (o.second.contains(QChar::ReplacementCharacter))
        return fail(ExitFile, QStringLiteral("the file name is not valid UTF-8"));
    if (const QString e = safefile::writeAtomic(o.second, image); !e.isEmpty())
        return fail(ExitFile, QStringLiteral("%1: %2").arg(o.second, e));
    return ExitDone;
}

int diffLayouts(const Options& o)
{
    auto failed = [&](int code, const QString& line) {
        if (o.json)
            writeOut(failureDocument(QStringLiteral("diff"), code, line));
        return fail(code, line);
    };
    QByteArray a;
    QByteArray b;
    if (const QString e = readEither(o.file, a); !e.isEmpty())
        return failed(ExitFile, e);
    if (const QString e = readEither(o.second, b); !e.isEmpty())
        return failed(ExitFile, e);
    if (layoutdoc::imageKind(a) != layoutdoc::imageKind(b))
        return failed(
            ExitFile,
            QStringLiteral("%1 and %2 are layouts of different kinds").arg(o.file, o.second));
    const QList<layoutdoc::Difference> found =
        layoutdoc::differenceRecords(layoutdoc::exportImage(a), layoutdoc::exportImage(b));
    if (o.json)
        writeOut(diffDocument(o.file, o.second, found));
    else
        for (const layoutdoc::Difference& d : found)
            std::fprintf(stdout, "%s\n", printable(d.text).toLocal8Bit().constData());
    return found.isEmpty() ? ExitDone : ExitMismatch;
}

} // namespace zeltra::cli
