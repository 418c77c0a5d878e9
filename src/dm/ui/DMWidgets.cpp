#include "dm/ui/DMWidgets.h"

#include <QPainter>
#include <QPainterPath>

QPixmap DMCheckPixmap(bool ticked) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (ticked) {
        QPainterPath mark;
        mark.moveTo(4.5, 8);
        mark.lineTo(7, 11);
        mark.lineTo(12, 4.5);
        p.setPen(QPen(QColor(0, 128, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(mark);
    }
    return pm;
}

QIcon DMCheckIcon(bool ticked) { return QIcon(DMCheckPixmap(ticked)); }
