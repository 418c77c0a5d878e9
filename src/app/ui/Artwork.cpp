#include "app/ui/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/CommandIds.h"

namespace {

enum class Glyph { Person, Sheet, History, Find, Funnel, Chart, Printer, Mail, Card, Home, Help, Dm };
enum class Badge { None, Plus, Pen, Cross, Copy, Eye };

const QColor kInk(0x2B, 0x4A, 0x74);

void DrawPerson(QPainter& p, QRectF r, QColor c) {
    p.setPen(Qt::NoPen);
    QRadialGradient g(r.center() - QPointF(r.width() * 0.1, r.height() * 0.2), r.width() * 0.7);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(1, c);
    p.setBrush(g);
    const double w = r.width();
    p.drawEllipse(QRectF(r.left() + w * 0.3, r.top(), w * 0.4, w * 0.4));
    QPainterPath body;
    body.moveTo(r.left() + w * 0.08, r.bottom());
    body.cubicTo(r.left() + w * 0.1, r.top() + w * 0.45, r.right() - w * 0.1, r.top() + w * 0.45,
                 r.right() - w * 0.08, r.bottom());
    body.closeSubpath();
    p.drawPath(body);
}

void DrawSheet(QPainter& p, QRectF r, bool lines) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    QPainterPath s;
    const double fold = r.width() * 0.3;
    s.moveTo(r.topLeft());
    s.lineTo(r.right() - fold, r.top());
    s.lineTo(r.right(), r.top() + fold);
    s.lineTo(r.bottomRight());
    s.lineTo(r.bottomLeft());
    s.closeSubpath();
    p.drawPath(s);
    if (lines) {
        p.setPen(QPen(QColor(0x7A, 0x96, 0xBC), 1.2));
        for (int i = 0; i < 3; ++i) {
            const double y = r.top() + r.height() * (0.42 + i * 0.18);
            p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
        }
    }
}

void DrawGlyph(QPainter& p, Glyph g) {
    switch (g) {
    case Glyph::Person: DrawPerson(p, QRectF(3, 2, 16, 19), QColor(0x3C, 0x7D, 0xD0)); break;
    case Glyph::Sheet: DrawSheet(p, QRectF(4, 2, 14, 19), true); break;
    case Glyph::History: {
        DrawSheet(p, QRectF(3, 2, 15, 19), true);
        p.setPen(QPen(QColor(0xC0, 0x6A, 0x10), 1.6));
        p.setBrush(QColor(0xFF, 0xF1, 0xD6));
        p.drawEllipse(QRectF(10, 9, 11, 11));
        p.drawLine(QPointF(15.5, 11.5), QPointF(15.5, 14.5));
        p.drawLine(QPointF(15.5, 14.5), QPointF(18, 16));
        break;
    }
    case Glyph::Find:
        p.setPen(QPen(kInk, 2.2));
        p.setBrush(QColor(0xDD, 0xEE, 0xFF));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.setPen(QPen(QColor(0x6B, 0x4A, 0x22), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
        break;
    case Glyph::Funnel: {
        QPainterPath f;
        f.moveTo(2.5, 3.5);
        f.lineTo(20.5, 3.5);
        f.lineTo(13.5, 12);
        f.lineTo(13.5, 20);
        f.lineTo(9.5, 17.5);
        f.lineTo(9.5, 12);
        f.closeSubpath();
        QLinearGradient lg(0, 3, 0, 20);
        lg.setColorAt(0, QColor(0x7F, 0xC6, 0xF5));
        lg.setColorAt(1, QColor(0x1E, 0x6F, 0xB8));
        p.setPen(QPen(kInk, 1.1));
        p.setBrush(lg);
        p.drawPath(f);
        break;
    }
    case Glyph::Chart: {
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(2.5, 20.5), QPointF(21, 20.5));
        const QColor cols[] = {QColor(0x4C, 0xAF, 0x50), QColor(0xF2, 0xA1, 0x2E), QColor(0x3C, 0x7D, 0xD0)};
        const double hs[] = {8, 14, 18};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(cols[i]);
            p.drawRect(QRectF(4 + i * 6, 20 - hs[i], 4.5, hs[i]));
        }
        break;
    }
    case Glyph::Printer:
        p.setPen(QPen(kInk, 1.1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 2.5, 11, 7));
        p.setBrush(QColor(0x8E, 0xA3, 0xBE));
        p.drawRoundedRect(QRectF(2.5, 8.5, 18, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 14, 11, 7));
        p.setPen(QPen(QColor(0x7A, 0x96, 0xBC), 1));
        p.drawLine(QPointF(8, 17), QPointF(15, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4C, 0xD1, 0x5A));
        p.drawEllipse(QRectF(16.5, 10.5, 2.5, 2.5));
        break;
    case Glyph::Mail:
    case Glyph::Dm: {
        QLinearGradient lg(0, 5, 0, 19);
        lg.setColorAt(0, QColor(0xFF, 0xFB, 0xEE));
        lg.setColorAt(1, g == Glyph::Dm ? QColor(0xF7, 0xD9, 0x9A) : QColor(0xE6, 0xEA, 0xF0));
        p.setPen(QPen(kInk, 1.1));
        p.setBrush(lg);
        p.drawRect(QRectF(2.5, 5.5, 18, 13));
        p.drawPolyline(QPolygonF({QPointF(2.5, 5.5), QPointF(11.5, 13), QPointF(20.5, 5.5)}));
        break;
    }
    case Glyph::Card:
        p.setPen(QPen(kInk, 1.1));
        p.setBrush(QColor(0xFF, 0xF8, 0xE1));
        p.drawRoundedRect(QRectF(2.5, 4.5, 18, 14), 2, 2);
        p.setBrush(QColor(0x9C, 0xC3, 0xEC));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(4.5, 7, 5, 6));
        p.setPen(QPen(QColor(0x7A, 0x96, 0xBC), 1.2));
        p.drawLine(QPointF(11.5, 8), QPointF(18.5, 8));
        p.drawLine(QPointF(11.5, 11), QPointF(18.5, 11));
        p.drawLine(QPointF(4.5, 15.5), QPointF(18.5, 15.5));
        break;
    case Glyph::Home: {
        QPainterPath roof;
        roof.moveTo(1.5, 11.5);
        roof.lineTo(11.5, 2.5);
        roof.lineTo(21.5, 11.5);
        p.setPen(QPen(QColor(0xB0, 0x3A, 0x2E), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(roof);
        p.setPen(QPen(kInk, 1.1));
        p.setBrush(QColor(0xFF, 0xF4, 0xDC));
        p.drawRect(QRectF(5, 10.5, 13, 10));
        p.setBrush(QColor(0x8D, 0x5A, 0x2B));
        p.drawRect(QRectF(9.5, 14, 4, 6.5));
        break;
    }
    case Glyph::Help:
        p.setPen(QPen(kInk, 1.1));
        p.setBrush(QColor(0x3C, 0x7D, 0xD0));
        p.drawEllipse(QRectF(2.5, 2.5, 18, 18));
        p.setPen(Qt::white);
        {
            QFont f = p.font();
            f.setBold(true);
            f.setPixelSize(14);
            p.setFont(f);
        }
        p.drawText(QRectF(2.5, 2.5, 18, 18), Qt::AlignCenter, "?");
        break;
    }
}

void DrawBadge(QPainter& p, Badge b) {
    if (b == Badge::None) return;
    const QRectF r(13, 12, 10, 10);
    if (b == Badge::Copy) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(14.5, 11.5, 7, 8));
        p.drawRect(QRectF(12.5, 13.5, 7, 8));
        return;
    }
    QColor c = b == Badge::Plus ? QColor(0x2E, 0xA0, 0x43) : b == Badge::Cross ? QColor(0xD0, 0x36, 0x2B)
                                                                               : QColor(0xE0, 0x8A, 0x14);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(c);
    p.drawEllipse(r);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    const QPointF m = r.center();
    switch (b) {
    case Badge::Plus:
        p.drawLine(m - QPointF(3, 0), m + QPointF(3, 0));
        p.drawLine(m - QPointF(0, 3), m + QPointF(0, 3));
        break;
    case Badge::Cross:
        p.drawLine(m - QPointF(2.3, 2.3), m + QPointF(2.3, 2.3));
        p.drawLine(m + QPointF(-2.3, 2.3), m + QPointF(2.3, -2.3));
        break;
    case Badge::Pen: p.drawLine(m + QPointF(-2.5, 2.5), m + QPointF(2.5, -2.5)); break;
    case Badge::Eye:
        p.setBrush(Qt::white);
        p.drawEllipse(m, 1.2, 1.2);
        break;
    default: break;
    }
}

QIcon MakeIcon(Glyph g, Badge b = Badge::None) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(24 * scale, 24 * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        DrawGlyph(p, g);
        DrawBadge(p, b);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace

QIcon AppIcon() {
    // The PNG sizes the build draws from packaging/jp.ostrel.Milvane.svg, the
    // same files the desktop shows.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/jp.ostrel.Milvane.png").arg(size), QSize(size, size));
    return icon;
}

QIcon CommandIcon(int id) {
    switch (id) {
    case ID_VIEW_MENU_SCREEN: return MakeIcon(Glyph::Home);
    case ID_KOKYAKU_ADD: return MakeIcon(Glyph::Person, Badge::Plus);
    case ID_KOKYAKU_MODIFY: return MakeIcon(Glyph::Person, Badge::Pen);
    case ID_KOKYAKU_DELETE: return MakeIcon(Glyph::Person, Badge::Cross);
    case ID_KOKYAKU_COPY: return MakeIcon(Glyph::Person, Badge::Copy);
    case ID_RIREKI_ADD: return MakeIcon(Glyph::History, Badge::Plus);
    case ID_RIREKI_MODIFY: return MakeIcon(Glyph::History, Badge::Eye);
    case ID_RIREKI_DELETE: return MakeIcon(Glyph::History, Badge::Cross);
    case ID_FIND:
    case ID_RIREKI_FIND: return MakeIcon(Glyph::Find);
    case ID_EXTRACT: return MakeIcon(Glyph::Funnel);
    case ID_EXTRACT_REDO: return MakeIcon(Glyph::Funnel, Badge::Pen);
    case ID_EXTRACT_CLEAR:
    case ID_EXTRACT_CLEAR_RIREKI: return MakeIcon(Glyph::Funnel, Badge::Cross);
    case ID_ANALYSIS: return MakeIcon(Glyph::Chart);
    case ID_VIEW_CARD: return MakeIcon(Glyph::Card);
    case ID_PRINT:
    case ID_FILE_PRINT: return MakeIcon(Glyph::Printer);
    case ID_MAIL_SEND: return MakeIcon(Glyph::Mail);
    case ID_HELP_CONTENTS: return MakeIcon(Glyph::Help);
    case ID_VIEW_DM_SCREEN: return MakeIcon(Glyph::Dm);
    case ID_DM_ADD: return MakeIcon(Glyph::Dm, Badge::Plus);
    case ID_DM_MODIFY: return MakeIcon(Glyph::Dm, Badge::Pen);
    case ID_DM_DELETE: return MakeIcon(Glyph::Dm, Badge::Cross);
    case ID_DM_COPY: return MakeIcon(Glyph::Dm, Badge::Copy);
    case ID_DM_TARGET_ADD: return MakeIcon(Glyph::Person, Badge::Plus);
    case ID_DM_TARGET_DELETE: return MakeIcon(Glyph::Person, Badge::Cross);
    default: return MakeIcon(Glyph::Sheet);
    }
}
