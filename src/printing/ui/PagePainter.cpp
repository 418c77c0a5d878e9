#include "printing/ui/PagePainter.h"

#include <QFile>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace {

QPageLayout LayoutOf(const CPrintPage& page) {
    return QPageLayout(QPageSize(QSizeF(page.width, page.height), QPageSize::Millimeter), QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

Qt::Alignment AlignOf(PageAlign a) {
    switch (a) {
    case PageAlign::Center: return Qt::AlignHCenter;
    case PageAlign::Right: return Qt::AlignRight;
    case PageAlign::Left: break;
    }
    return Qt::AlignLeft;
}

}  // namespace

QString PageFontFamily(PageFont font) {
    return font == PageFont::Mincho ? QStringLiteral("IPAMincho") : QStringLiteral("IPAGothic");
}

void PaintPage(QPainter& painter, const CPrintPage& page, bool preview) {
    QPaintDevice* device = painter.device();
    const double dpmX = device->logicalDpiX() / 25.4;
    const double dpmY = device->logicalDpiY() / 25.4;
    auto rect = [&](const CPageItem& it) { return QRectF(it.x * dpmX, it.y * dpmY, it.w * dpmX, it.h * dpmY); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont fonts[2] = {QFont(PageFontFamily(PageFont::Gothic)), QFont(PageFontFamily(PageFont::Mincho))};
    double lastSize = -1;
    int lastFont = -1;
    for (const CPageItem& it : page.items) {
        if (it.previewOnly && !preview) continue;
        switch (it.kind) {
        case PageItemKind::Text: {
            int f = it.font == PageFont::Mincho ? 1 : 0;
            if (f != lastFont || it.size != lastSize) {
                fonts[f].setPointSizeF(it.size);
                painter.setFont(fonts[f]);
                lastFont = f;
                lastSize = it.size;
            }
            painter.setPen(Qt::black);
            const QString text = QString::fromStdString(it.text);
            const QRectF r = rect(it);
            if (it.turned) {
                painter.save();
                painter.translate(r.center());
                painter.rotate(90);
                painter.drawText(QRectF(-r.height() / 2, -r.width() / 2, r.height(), r.width()), Qt::AlignCenter,
                                 text);
                painter.restore();
            } else {
                painter.drawText(r, AlignOf(it.align) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                                 text);
            }
            break;
        }
        case PageItemKind::Line:
        case PageItemKind::Rect: {
            QPen pen(it.previewOnly ? QColor(220, 40, 40) : QColor(Qt::black));
            pen.setWidthF(it.lineWidth * dpmX);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            if (it.kind == PageItemKind::Line)
                painter.drawLine(QPointF(it.x * dpmX, it.y * dpmY),
                                 QPointF((it.x + it.w) * dpmX, (it.y + it.h) * dpmY));
            else
                painter.drawRect(rect(it));
            break;
        }
        case PageItemKind::Picture: {
            QImage image(QString::fromStdString(it.text));
            if (image.isNull()) break;
            const QRectF r = rect(it);
            QSizeF size = QSizeF(image.size()).scaled(r.size(), Qt::KeepAspectRatio);
            painter.drawImage(QRectF(r.x() + (r.width() - size.width()) / 2, r.y() + (r.height() - size.height()) / 2,
                                     size.width(), size.height()),
                              image);
            break;
        }
        }
    }
    painter.restore();
}

bool PrintPages(QPrinter& printer, const std::vector<CPrintPage>& pages, bool preview) {
    if (pages.empty()) return false;
    printer.setFullPage(true);
    printer.setPageLayout(LayoutOf(pages.front()));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            printer.setPageLayout(LayoutOf(pages[i]));
            printer.newPage();
        }
        PaintPage(painter, pages[i], preview);
    }
    return painter.end();
}

bool WritePagesPdf(const std::vector<CPrintPage>& pages, const QString& path, const QString& title) {
    if (pages.empty()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    bool ok = true;
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Milvane"));
        writer.setPageLayout(LayoutOf(pages.front()));
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.setPageLayout(LayoutOf(pages[i]));
                ok = writer.newPage() && ok;
            }
            PaintPage(painter, pages[i], false);
        }
        ok = painter.end() && ok;
    }
    return ok && file.commit();
}
