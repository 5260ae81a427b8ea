#include "print/CardPainter.h"

#include "model/LayoutWords.h"

#include "kit/QtColours.h"
#include "print/CardPages.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <functional>

namespace zeltra::card {
namespace {

// The keyboard as the window draws it, in window pixels: keys and the jog wheel.
constexpr qreal PictureWidth = 712;
constexpr qreal PictureHeight = 286;
// The picture takes at most this share of a page's body.
constexpr qreal PictureShare = 0.45;

QFont font(qreal points, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    // No shaping for Latin text: no ligatures, so "Off" stays O, f, f in the PDF's text and
    // a search for it finds it.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

struct Fonts {
    QFont title = font(13, true);
    QFont header = font(9, true);
    QFont tableTitle = font(11, true);
    QFont columns = font(8.5, true);
    QFont cell = font(8.5);
    QFont keyCaption = font(10, true);
    QFont footer = font(8);
};

// The measures of one table at the page's width: column widths, each row's height.
struct TableShape {
    QList<qreal> widths;
    QList<qreal> rowHeights;
    qreal headHeight = 0;
    qreal titleHeight = 0;
};

class Painter {
  public:
    Painter(const Card& card, const Header& header, QPagedPaintDevice& device)
        : card_(card), header_(header), device_(device), width_(device.width()),
          height_(device.height())
    {
    }

    int run()
    {
        QPainter p;
        if (!p.begin(&device_))
            return 0;
        p_ = &p;
        const qreal headTop = lineHeight(fonts_.header) * 1.8;
        const qreal footTop = height_ - lineHeight(fonts_.footer) * 1.8;
        const QList<Piece> pieces = layout();
        QList<double> heights;
        for (const Piece& piece : pieces)
            heights << piece.height;
        const QList<Page> pages = paginate(heights, continuationHeights(pieces), headTop, footTop);
        for (int n = 0; n < pages.size(); ++n) {
            if (n > 0)
                device_.newPage();
            paintFrame(n + 1, int(pages.size()));
            for (const Placed& placed : pages[n]) {
                if (placed.continued)
                    paintTableHead(pieces[placed.piece].table, placed.top, true);
                else
                    pieces[placed.piece].paint(placed.top);
            }
        }
        p.end();
        return int(pages.size());
    }

  private:
    struct Piece {
        qreal height = 0;
        int table = -1;     // the table a row belongs to, -1 for other pieces
        bool opens = false; // the title and column heads, kept with the first row
        std::function<void(qreal)> paint;
    };

    qreal lineHeight(const QFont& f) const { return QFontMetricsF(f, &device_).height(); }
    qreal textWidth(const QFont& f, const QString& s) const
    {
        return QFontMetricsF(f, &device_).horizontalAdvance(s);
    }
    qreal pad() const { return QFontMetricsF(fonts_.cell, &device_).averageCharWidth() * 1.5; }

    QList<double> continuationHeights(const QList<Piece>& pieces) const
    {
        QList<double> out;
        for (const Piece& piece : pieces)
            out << (piece.table >= 0 && !piece.opens ? shapes_[piece.table].titleHeight +
                                                           shapes_[piece.table].headHeight
                                                     : 0);
        return out;
    }

    QList<Piece> layout()
    {
        QList<Piece> pieces;
        const qreal titleHeight = lineHeight(fonts_.title) * 1.5;
        pieces << Piece{titleHeight, -1, false, [this](qreal top) {
                            p_->setFont(fonts_.title);
                            p_->setPen(Qt::black);
                            p_->drawText(QRectF(0, top, width_, lineHeight(fonts_.title)),
                                         Qt::AlignLeft | Qt::AlignTop, card_.title);
                        }};
        pieces << picturePiece();
        for (int t = 0; t < card_.tables.size(); ++t) {
            shapes_ << shape(card_.tables[t]);
            const TableShape& s = shapes_.last();
            for (int r = 0; r < card_.tables[t].rows.size(); ++r) {
                const bool first = r == 0;
                const qreal above = first ? s.titleHeight + s.headHeight : 0;
                pieces << Piece{above + s.rowHeights[r], t, first, [this, t, r, first](qreal top) {
                                    if (first)
                                        top = paintTableHead(t, top, false);
                                    paintRow(t, r, top);
                                }};
            }
        }
        return pieces;
    }

    Piece picturePiece()
    {
        const qreal body = height_ - lineHeight(fonts_.header) * 4;
        const qreal scale = std::min(width_ / PictureWidth, body * PictureShare / PictureHeight);
        const qreal gap = lineHeight(fonts_.cell);
        return Piece{PictureHeight * scale + gap, -1, false,
                     [this, scale](qreal top) { paintPicture(top, scale); }};
    }

    void paintPicture(qreal top, qreal scale)
    {
        p_->save();
        p_->translate(0, top);
        const Wheel& w = card_.wheel;
        p_->setPen(Qt::NoPen);
        p_->setBrush(Qt::black);
        p_->drawEllipse(QRectF(w.left * scale, w.top * scale, w.size * scale, w.size * scale));
        if (w.knob) {
            const qreal k = w.size * 0.18;
            const QRectF knob(w.left + w.size * 0.62, w.top + w.size * 0.2, k, k);
            p_->setBrush(QColor(0x80, 0x80, 0x80));
            p_->drawEllipse(QRectF(knob.left() * scale, knob.top() * scale, k * scale, k * scale));
        }
        for (const Key& key : card_.keys)
            paintKey(key, scale);
        p_->restore();
    }

    void paintKey(const Key& key, qreal scale)
    {
        const qreal inset = 3 * scale;
        const QRectF r = QRectF(key.place.left * scale, key.place.top * scale,
                                key.place.size * scale, key.place.size * scale)
                             .adjusted(inset, inset, -inset, -inset);
        p_->setPen(QPen(Qt::black, 0.6 * scale));
        p_->setBrush(toQColor(key.fill));
        p_->drawRoundedRect(r, 4 * scale, 4 * scale);
        if (key.caption.isEmpty())
            return;
        QFont f = fonts_.keyCaption;
        const qreal room = r.width() * 0.9;
        while (f.pointSizeF() > 4 && textWidth(f, key.caption) > room)
            f.setPointSizeF(f.pointSizeF() - 0.25);
        p_->setFont(f);
        p_->setPen(toQColor(key.text));
        p_->drawText(r, Qt::AlignCenter, key.caption);
    }

    TableShape shape(const Table& t) const
    {
        TableShape s;
        const qreal gap = pad();
        QList<qreal> natural, longestWord;
        for (int c = 0; c < t.columns.size(); ++c) {
            qreal w = textWidth(fonts_.columns, t.columns[c]), word = w;
            for (const QStringList& row : t.rows) {
                w = std::max(w, textWidth(fonts_.cell, row.value(c)));
                for (const QString& part : row.value(c).split(QLatin1Char(' ')))
                    word = std::max(word, textWidth(fonts_.cell, part));
            }
            natural << w + gap;
            longestWord << word + gap;
        }
        s.widths = natural;
        qreal total = 0;
        for (qreal w : natural)
            total += w;
        if (total > width_) { // the widest column wraps its text into what the others leave
            const auto wrapped = std::max_element(natural.begin(), natural.end()) - natural.begin();
            const qreal rest = width_ - (total - natural[wrapped]);
            s.widths[wrapped] = std::max(rest, longestWord[wrapped]);
        }
        s.titleHeight = lineHeight(fonts_.tableTitle) * 1.6;
        s.headHeight = lineHeight(fonts_.columns) * 1.3;
        for (const QStringList& row : t.rows) {
            qreal h = lineHeight(fonts_.cell);
            for (int c = 0; c < row.size(); ++c)
                h = std::max(h, cellRect(s, c, 0, row[c]).height());
            s.rowHeights << h + lineHeight(fonts_.cell) * 0.3;
        }
        return s;
    }

    QRectF cellRect(const TableShape& s, int column, qreal top, const QString& text) const
    {
        qreal left = 0;
        for (int c = 0; c < column; ++c)
            left += s.widths[c];
        const qreal w = std::min(s.widths[column], width_ - left) - pad() / 2;
        return QFontMetricsF(fonts_.cell, &device_)
            .boundingRect(QRectF(left, top, w, height_), Qt::TextWordWrap, text);
    }

    qreal paintTableHead(int t, qreal top, bool continued)
    {
        const Table& table = card_.tables[t];
        const TableShape& s = shapes_[t];
        p_->setPen(Qt::black);
        p_->setFont(fonts_.tableTitle);
        const QString title = continued ? QStringLiteral("%1 (continued)").arg(table.title) : table.title;
        p_->drawText(QRectF(0, top + s.titleHeight * 0.25, width_, s.titleHeight), Qt::AlignLeft, title);
        top += s.titleHeight;
        p_->setFont(fonts_.columns);
        qreal left = 0;
        for (int c = 0; c < table.columns.size(); ++c) {
            p_->drawText(QRectF(left, top, s.widths[c], s.headHeight), Qt::AlignLeft | Qt::AlignTop,
                         table.columns[c]);
            left += s.widths[c];
        }
        p_->setPen(QPen(Qt::gray, 0));
        p_->drawLine(QPointF(0, top + s.headHeight * 0.95), QPointF(std::min(left, width_), top + s.headHeight * 0.95));
        return top + s.headHeight;
    }

    void paintRow(int t, int r, qreal top)
    {
        const TableShape& s = shapes_[t];
        const QStringList& row = card_.tables[t].rows[r];
        p_->setPen(Qt::black);
        p_->setFont(fonts_.cell);
        for (int c = 0; c < row.size(); ++c) {
            const QRectF rect = cellRect(s, c, top, row[c]);
            p_->drawText(rect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, row[c]);
        }
    }

    void paintFrame(int page, int pages)
    {
        p_->setPen(Qt::black);
        p_->setFont(fonts_.header);
        const QFontMetricsF m(fonts_.header, &device_);
        const qreal dateWidth = m.horizontalAdvance(header_.date);
        const QString file = m.elidedText(words::printable(header_.file), Qt::ElideMiddle, width_ - dateWidth - m.averageCharWidth() * 4);
        p_->drawText(QRectF(0, 0, width_, m.height()), Qt::AlignLeft | Qt::AlignTop, file);
        p_->drawText(QRectF(0, 0, width_, m.height()), Qt::AlignRight | Qt::AlignTop, header_.date);
        p_->setPen(QPen(Qt::black, 0));
        p_->drawLine(QPointF(0, m.height() * 1.3), QPointF(width_, m.height() * 1.3));
        p_->setFont(fonts_.footer);
        const qreal footHeight = lineHeight(fonts_.footer);
        p_->drawText(QRectF(0, height_ - footHeight, width_, footHeight), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }

    const Card& card_;
    const Header& header_;
    QPagedPaintDevice& device_;
    qreal width_;
    qreal height_;
    Fonts fonts_;
    QList<TableShape> shapes_;
    QPainter* p_ = nullptr;
};

} // namespace

int paintCard(const Card& card, const Header& header, QPagedPaintDevice& device)
{
    return Painter(card, header, device).run();
}

} // namespace zeltra::card
