#include "common/ui/ScrollPage.h"

#include <QPalette>
#include <QScrollArea>
#include <QStyle>

CScrollPage MakeScrollPage(QWidget* owner, QSize minimum, const QColor& background) {
    CScrollPage p;
    p.scroll = new QScrollArea(owner);
    p.scroll->setFrameShape(QFrame::NoFrame);
    p.scroll->setFocusPolicy(Qt::NoFocus);
    p.scroll->setWidgetResizable(true);
    p.page = new QWidget;
    p.page->setMinimumSize(minimum);
    p.page->setAutoFillBackground(true);
    QPalette pal = p.page->palette();
    pal.setColor(QPalette::Window, background);  // the labels on it are transparent
    p.page->setPalette(pal);
    p.scroll->setWidget(p.page);
    p.page->installEventFilter(owner);
    return p;
}

int ListWidthForColumns(const QAbstractScrollArea* list, int columnsWidth) {
    return columnsWidth + 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
}
