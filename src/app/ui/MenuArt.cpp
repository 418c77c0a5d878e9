#include "app/ui/MenuArt.h"

#include <QApplication>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kNavy(0x1B, 0x3F, 0x73);
const QColor kBlue(0x2F, 0x6D, 0xB5);
const QColor kText(0x22, 0x33, 0x4D);
const QColor kMuted(0x66, 0x77, 0x8F);
const QColor kBorder(0x9D, 0xB2, 0xCD);
const QColor kOrange(0xE8, 0x8A, 0x1A);

QFont UiFont(int pixelSize, bool bold = false) {
    QFont f = QApplication::font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void Shadowed(QPainter& p, const QRectF& r, qreal radius, const QBrush& fill, const QPen& pen) {
    for (int i = 3; i >= 1; --i) {
        QPainterPath s;
        s.addRoundedRect(r.translated(0, i * 0.8).adjusted(-i * 0.5, 0, i * 0.5, i * 0.4), radius + i, radius + i);
        p.fillPath(s, QColor(0x1B, 0x3F, 0x73, 10 + 6 * (3 - i)));
    }
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, fill);
    p.strokePath(path, pen);
}

void SectionCaption(QPainter& p, int y, const QString& text) {
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(22, y + 2, 5, 15), 2, 2);
    p.setFont(UiFont(14, true));
    p.setPen(kNavy);
    const QRect tr(33, y, 200, 19);
    p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter, text);
    const int w = p.fontMetrics().horizontalAdvance(text);
    QLinearGradient line(40 + w, 0, 728, 0);
    line.setColorAt(0, QColor(0x2F, 0x6D, 0xB5, 160));
    line.setColorAt(1, QColor(0x2F, 0x6D, 0xB5, 0));
    p.setPen(QPen(QBrush(line), 1));
    p.drawLine(QPointF(42 + w, y + 10.5), QPointF(728, y + 10.5));
}

void Panel(QPainter& p, const QRect& r, const QColor& accent, const QString& title, const QString& note) {
    Shadowed(p, r, 8, QColor(0xFF, 0xFF, 0xFF), QPen(QColor(0xC8, 0xD5, 0xE6), 1));
    QPainterPath whole;
    whole.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 7.5, 7.5);
    QLinearGradient g(0, r.top(), 0, r.top() + 19);
    g.setColorAt(0, accent.lighter(118));
    g.setColorAt(1, accent);
    p.save();
    p.setClipRect(QRect(r.left(), r.top(), r.width() + 1, 19));
    p.fillPath(whole, g);
    p.restore();
    p.setFont(UiFont(12, true));
    p.setPen(Qt::white);
    p.drawText(QRect(r.left() + 12, r.top(), r.width() - 24, 19), Qt::AlignLeft | Qt::AlignVCenter, title);
    if (!note.isEmpty()) {
        p.setFont(UiFont(11));
        p.setPen(kMuted);
        p.drawText(QRect(r.left() + 14, r.bottom() - 44, r.width() - 28, 38),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, note);
    }
}

QString Plain(const QString& caption) { return QString(caption).replace('\n', QString()); }

}  // namespace

QSize MenuItemSize(MenuItemStyle style, int tabIndex) {
    switch (style) {
    case MenuItemStyle::Work: return {190, 36};
    case MenuItemStyle::Header: return {100, 28};
    case MenuItemStyle::Open: return {100, 28};
    case MenuItemStyle::Tab: {
        static const int widths[] = {64, 65, 66, 65, 112};
        return {widths[std::clamp(tabIndex, 0, 4)], 42};
    }
    }
    return {};
}

QPixmap PaintMenuBackground(qreal dpr) {
    QPixmap pm(QSize(kMenuWidth, kMenuHeight) * dpr);
    pm.setDevicePixelRatio(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Page
    QLinearGradient page(0, 0, 0, kMenuHeight);
    page.setColorAt(0, QColor(0xF3, 0xF7, 0xFC));
    page.setColorAt(1, QColor(0xDD, 0xE7, 0xF3));
    p.fillRect(QRect(0, 0, kMenuWidth, kMenuHeight), page);

    // Title band
    QLinearGradient band(0, 0, kMenuWidth, 58);
    band.setColorAt(0, QColor(0x17, 0x3A, 0x6B));
    band.setColorAt(0.6, QColor(0x25, 0x5C, 0xA0));
    band.setColorAt(1, QColor(0x33, 0x74, 0xBF));
    p.fillRect(QRect(0, 0, kMenuWidth, 58), band);
    // soft arcs as a motif
    p.setPen(QPen(QColor(255, 255, 255, 22), 14));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(210, -40), 110, 80);
    p.setPen(QPen(QColor(255, 255, 255, 14), 22));
    p.drawEllipse(QPointF(260, 80), 90, 50);
    QLinearGradient gold(0, 0, kMenuWidth, 0);
    gold.setColorAt(0, QColor(0xF2, 0xB8, 0x4B));
    gold.setColorAt(1, QColor(0xF2, 0xB8, 0x4B, 60));
    p.fillRect(QRect(0, 58, kMenuWidth, 2), gold);

    // Logo
    p.setPen(Qt::NoPen);
    QLinearGradient mark(20, 12, 20, 46);
    mark.setColorAt(0, QColor(0xFF, 0xD0, 0x73));
    mark.setColorAt(1, QColor(0xF0, 0x93, 0x25));
    p.setBrush(mark);
    p.drawRoundedRect(QRectF(20, 13, 32, 32), 8, 8);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(30.5, 18, 11, 11));
    QPainterPath body;
    body.moveTo(24.5, 41);
    body.cubicTo(25.5, 29, 46.5, 29, 47.5, 41);
    body.closeSubpath();
    p.drawPath(body);
    QFont logo = UiFont(25, true);
    logo.setItalic(true);
    logo.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(logo);
    p.setPen(Qt::white);
    p.drawText(QRect(60, 6, 200, 32), Qt::AlignLeft | Qt::AlignVCenter, "Milvane");
    p.setFont(UiFont(11));
    p.setPen(QColor(0xD6, 0xE6, 0xF8));
    p.drawText(QRect(62, 36, 220, 16), Qt::AlignLeft | Qt::AlignVCenter, "顧客管理・履歴・DM");

    // Daily work
    SectionCaption(p, 62, "日々の作業");
    Panel(p, QRect(30, 82, 216, 160), QColor(0x2F, 0x6D, 0xB5), "登録", QString());
    Panel(p, QRect(268, 82, 216, 160), QColor(0x2E, 0x8B, 0x57), "一覧",
          "登録済みの顧客や履歴を一覧で表示し、修正・検索を行います。");
    Panel(p, QRect(504, 82, 216, 160), QColor(0xD0, 0x74, 0x12), "抽出・分析",
          "条件で顧客や履歴を絞り込み、購買の傾向を分析します。");

    // Printing
    SectionCaption(p, 254, "印刷");
    // form name card
    const QRect card(20, 284, 180, 238);
    Shadowed(p, card, 8, QColor(0xFF, 0xFF, 0xFF), QPen(QColor(0xC8, 0xD5, 0xE6), 1));
    p.setFont(UiFont(12, true));
    p.setPen(kNavy);
    p.drawText(QRect(30, 290, 160, 20), Qt::AlignLeft | Qt::AlignVCenter, "選択中のフォーム");
    p.setPen(QPen(QColor(0xDD, 0xE5, 0xF0), 1));
    p.drawLine(QPointF(30, 312.5), QPointF(190, 312.5));
    p.setFont(UiFont(11));
    p.setPen(kMuted);
    p.drawText(QRect(30, 316, 162, 18), Qt::AlignLeft | Qt::AlignVCenter, "フォーム名");
    p.setPen(QPen(QColor(0xD3, 0xDD, 0xEA), 1));
    p.setBrush(QColor(0xF7, 0xFA, 0xFE));
    p.drawRoundedRect(QRectF(30.5, 338.5, 161, 62), 4, 4);
    p.setPen(kMuted);
    p.drawText(QRect(32, 410, 158, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               "タブで種類を選び、フォームを選んで［開く］を押すと印刷の画面が開きます。");

    // gallery frame (the tabs stand on its top edge)
    const QRect gallery(210, 325, 526, 197);
    Shadowed(p, gallery, 6, QColor(0xFF, 0xFF, 0xFF), QPen(kBorder, 1));
    // preview area
    p.setPen(QPen(QColor(0xD3, 0xDD, 0xEA), 1));
    p.setBrush(QColor(0xF4, 0xF7, 0xFB));
    p.drawRect(QRectF(573.5, 333.5, 152, 133));
    p.setFont(UiFont(11));
    p.setPen(QColor(0xA8, 0xB6, 0xC8));
    p.drawText(QRect(573, 333, 153, 134), Qt::AlignCenter, "プレビュー");
    p.end();
    return pm;
}

void PaintMenuItem(QPainter& p, const QRect& rect, MenuItemStyle style, const QString& caption, const QIcon& icon,
                   const MenuItemLook& look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const int state = look.enabled ? look.state : 0;

    switch (style) {
    case MenuItemStyle::Work:
    case MenuItemStyle::Open: {
        const bool open = style == MenuItemStyle::Open;
        QLinearGradient g(0, r.top(), 0, r.bottom());
        QColor border;
        QColor text = kText;
        if (!look.enabled) {
            g.setColorAt(0, QColor(0xF2, 0xF4, 0xF7));
            g.setColorAt(1, QColor(0xE6, 0xEA, 0xEF));
            border = QColor(0xCF, 0xD6, 0xDF);
            text = QColor(0xA3, 0xAC, 0xB8);
        } else if (state == 2) {
            g.setColorAt(0, QColor(0x1E, 0x4F, 0x8E));
            g.setColorAt(1, QColor(0x2F, 0x6D, 0xB5));
            border = QColor(0x17, 0x3A, 0x6B);
            text = Qt::white;
        } else if (state == 1) {
            g.setColorAt(0, QColor(0xFF, 0xF8, 0xEA));
            g.setColorAt(1, QColor(0xFF, 0xE2, 0xB0));
            border = kOrange;
        } else if (open) {
            g.setColorAt(0, QColor(0x4A, 0x8C, 0xD6));
            g.setColorAt(1, QColor(0x2A, 0x64, 0xAA));
            border = QColor(0x22, 0x55, 0x92);
            text = Qt::white;
        } else {
            g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
            g.setColorAt(1, QColor(0xE3, 0xEC, 0xF7));
            border = kBorder;
        }
        QPainterPath path;
        const QRectF body = state == 2 ? r.translated(0, 1).adjusted(0, 0, 0, -1) : r;
        path.addRoundedRect(body, 6, 6);
        p.fillPath(path, g);
        p.setPen(QPen(border, 1));
        p.drawPath(path);
        if (state != 2 && look.enabled) {  // gloss
            p.setPen(QPen(QColor(255, 255, 255, 150), 1));
            p.drawLine(QPointF(body.left() + 6, body.top() + 1.5), QPointF(body.right() - 6, body.top() + 1.5));
        }
        qreal x = body.left() + 8;
        const int iconSize = open ? 18 : 22;
        if (!icon.isNull()) {
            const QRectF disc(x, body.center().y() - (iconSize + 6) / 2.0, iconSize + 6, iconSize + 6);
            if (!open) {
                p.setPen(Qt::NoPen);
                p.setBrush(state == 2 ? QColor(255, 255, 255, 60) : QColor(0x2F, 0x6D, 0xB5, 28));
                p.drawEllipse(disc);
            }
            const QRect ir(int(disc.left() + 3), int(disc.top() + 3), iconSize, iconSize);
            icon.paint(&p, ir, Qt::AlignCenter, look.enabled ? QIcon::Normal : QIcon::Disabled);
            x = disc.right() + 8;
        }
        p.setFont(UiFont(open ? 13 : 14, true));
        p.setPen(text);
        const QRectF tr(x, body.top(), body.right() - x - (open ? 8 : 20), body.height());
        p.drawText(tr, (open ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter, Plain(caption));
        if (!open) {  // chevron
            p.setPen(QPen(state == 2 ? QColor(255, 255, 255, 200) : (look.enabled ? kBorder : QColor(0xD5, 0xDB, 0xE3)),
                          1.6, Qt::SolidLine, Qt::RoundCap));
            const qreal cx = body.right() - 12, cy = body.center().y();
            p.drawLine(QPointF(cx - 3, cy - 4), QPointF(cx + 1, cy));
            p.drawLine(QPointF(cx + 1, cy), QPointF(cx - 3, cy + 4));
        }
        break;
    }
    case MenuItemStyle::Header: {
        QPainterPath path;
        path.addRoundedRect(r, r.height() / 2, r.height() / 2);
        QColor fill(255, 255, 255, 30), border(255, 255, 255, 110), text(Qt::white);
        if (!look.enabled) {
            text = QColor(255, 255, 255, 100);
            border = QColor(255, 255, 255, 50);
        } else if (state == 2) {
            fill = QColor(0x0E, 0x27, 0x4A, 190);
            border = QColor(0xF2, 0xB8, 0x4B);
        } else if (state == 1) {
            fill = QColor(255, 255, 255, 70);
            border = QColor(0xF2, 0xB8, 0x4B);
        }
        p.fillPath(path, fill);
        p.setPen(QPen(border, 1.2));
        p.drawPath(path);
        p.setFont(UiFont(13, true));
        p.setPen(text);
        p.drawText(r.translated(0, state == 2 ? 1 : 0), Qt::AlignCenter, caption);
        break;
    }
    case MenuItemStyle::Tab: {
        QPainterPath path;
        const qreal rad = 6;
        QRectF t = r;
        if (state != 2) t.setTop(t.top() + 3);  // the selected tab stands taller
        path.moveTo(t.left(), rect.bottom() + 1);
        path.lineTo(t.left(), t.top() + rad);
        path.quadTo(t.left(), t.top(), t.left() + rad, t.top());
        path.lineTo(t.right() - rad, t.top());
        path.quadTo(t.right(), t.top(), t.right(), t.top() + rad);
        path.lineTo(t.right(), rect.bottom() + 1);
        QLinearGradient g(0, t.top(), 0, t.bottom());
        QColor text = kText;
        if (state == 2) {
            g.setColorAt(0, Qt::white);
            g.setColorAt(1, Qt::white);
            text = kNavy;
        } else if (state == 1) {
            g.setColorAt(0, QColor(0xFF, 0xF8, 0xEA));
            g.setColorAt(1, QColor(0xFF, 0xE2, 0xB0));
        } else {
            g.setColorAt(0, QColor(0xEE, 0xF3, 0xF9));
            g.setColorAt(1, QColor(0xCF, 0xDB, 0xEA));
        }
        if (!look.enabled) text = QColor(0xA3, 0xAC, 0xB8);
        p.fillPath(path, g);
        p.setPen(QPen(state == 1 ? kOrange : kBorder, 1));
        p.drawPath(path);
        if (state == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(kOrange);
            p.drawRoundedRect(QRectF(t.left() + 3, t.top() + 0.5, t.width() - 6, 3), 1.5, 1.5);
        } else {
            p.setPen(QPen(kBorder, 1));
            p.drawLine(QPointF(rect.left(), rect.bottom() + 0.5), QPointF(rect.right() + 1, rect.bottom() + 0.5));
        }
        p.setFont(UiFont(12, state == 2));
        p.setPen(text);
        p.drawText(t.adjusted(2, 2, -2, 0), Qt::AlignCenter, caption);
        break;
    }
    }

    if (look.focused) {
        QPen pen(style == MenuItemStyle::Header ? QColor(255, 255, 255, 220) : kBlue, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 4, 4);
    }
    p.restore();
}
