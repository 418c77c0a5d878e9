#include "common/ui/WaitDlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "common/ui/WindowFront.h"

namespace {
const char* const kDefaultText = "処理中です。しばらくお待ちください...";
}

CWaitDlg::CWaitDlg(QWidget* parent, const QString& text)
    // A tool window stays above its parent; Qt raises it when shown, which a
    // headless platform cannot do, so there it is a plain window.
    : QWidget(parent, (PlatformCanRaise() ? Qt::Tool : Qt::Window) | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAccessibleName("お待ちください");
    setFixedSize(300, 86);

    m_label = new QLabel(text.isEmpty() ? QString::fromUtf8(kDefaultText) : text, this);
    m_label->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 0);  // busy indicator
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(12);
    m_bar->setAccessibleName("処理中");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 16, 22, 18);
    layout->setSpacing(10);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
}

void CWaitDlg::SetText(const QString& text) { m_label->setText(text); }

QString CWaitDlg::Text() const { return m_label->text(); }

void CWaitDlg::ShowNow() {
    QRect area;
    if (QWidget* p = parentWidget(); p && p->isVisible())
        area = QRect(p->mapToGlobal(QPoint(0, 0)), p->size());
    else if (QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (area.isValid()) move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CWaitDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 10, 10);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(1, QColor(0xE4, 0xEE, 0xF8));
    p.fillPath(path, g);
    p.setPen(QPen(QColor(0x6A, 0x8C, 0xB8), 1.5));
    p.drawPath(path);
}
