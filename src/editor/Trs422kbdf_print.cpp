// "File" > "Print...": the layout card in the print preview, printed from there.
#include "editor/Trs422kbdf.h"

#include "model/LayoutWords.h"
#include "print/CardPainter.h"

#include <QDate>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>

using namespace zeltra;

namespace {
constexpr qreal MarginMm = 15;
}

void Trs422kbdf::Print1Click()
{
    const card::Card content = model_.KbdType() == KbdMonitor ? card::monitorCard(model_.MonImage)
                                                              : card::machineCard(model_.McnImage);
    const QString& file = model_.file();
    const card::Header header{file.isEmpty() ? QStringLiteral("(not saved)") : QFileInfo(file).fileName(),
                              QDate::currentDate().toString(Qt::ISODate)};
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter);
    printer.setDocName(words::printable(header.file));
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PrintPreview1"));
    preview.setWindowTitle(QStringLiteral("Print layout card"));
    preview.resize(900, 1000); // a page large enough to read
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* target) { card::paintCard(content, header, *target); });
    preview.exec();
}
