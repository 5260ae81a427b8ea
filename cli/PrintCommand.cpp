#include "PrintCommand.h"

#include "ExitCodes.h"
#include "LayoutFile.h"
#include "LayoutText.h"

#include "model/LayoutWords.h"
#include "model/SafeFile.h"
#include "print/CardPainter.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QPdfWriter>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace zeltra::cli {
namespace {

constexpr qreal MarginMm = 15;

int fail(int code, const QString& line)
{
    std::fprintf(stderr, "zeltra-cli: %s\n", printable(line).toLocal8Bit().constData());
    return code;
}

} // namespace

void preparePrintPlatform()
{
    // A PDF needs no screen. A display that is set but gone (a closed ssh -X session) would
    // end the program in Qt's start-up, so the display is never asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a runtime folder Qt takes the same one itself, with a warning on stderr that a
    // script would read as a fault.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray folder =
            QFile::encodeName(QDir::tempPath()) + "/runtime-" + QByteArray::number(::getuid());
        if (::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", folder);
    }
}

int printLayout(const Options& o)
{
    LayoutData model;
    model.initDefaults({});
    if (const QString e = loadLayout(o.file, model); !e.isEmpty())
        return fail(ExitFile, e);
    if (o.second.contains(QChar::ReplacementCharacter))
        return fail(ExitFile, QStringLiteral("the file name is not valid UTF-8"));
    // A slip of the order of the words must not print over the layout.
    const QString layoutPath = QFileInfo(o.file).canonicalFilePath();
    if (!layoutPath.isEmpty() && QFileInfo(o.second).canonicalFilePath() == layoutPath)
        return fail(ExitUsage, QStringLiteral("%1 is the layout itself; name another file for the card")
                                   .arg(o.second));
    const card::Card content = model.KbdType() == KbdMonitor ? card::monitorCard(model.MonImage)
                                                             : card::machineCard(model.McnImage);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(o.page == QLatin1String("Letter") ? QPageSize::Letter
                                                                        : QPageSize::A4));
        writer.setPageMargins(QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                              QPageLayout::Millimeter);
        writer.setTitle(words::printable(QFileInfo(o.file).fileName()));
        writer.setCreator(QStringLiteral("zeltra-cli " ZELTRA_VERSION));
        const card::Header header{QFileInfo(o.file).fileName(),
                                  QDate::currentDate().toString(Qt::ISODate)};
        if (card::paintCard(content, header, writer) == 0)
            return fail(ExitFile, QStringLiteral("%1: the card could not be painted").arg(o.second));
    }
    if (const QString e = safefile::writeAtomic(o.second, pdf.data()); !e.isEmpty())
        return fail(ExitFile, QStringLiteral("%1: %2").arg(o.second, e));
    return ExitDone;
}

} // namespace zeltra::cli
