#include "analysis/ui/SorunaSheet.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "analysis/AddressLevels.h"
#include "analysis/PostalAddressLevels.h"
#include "analysis/ui/SorunaPages.h"
#include "common/ui/Accessible.h"
#include "lookup/Dictionaries.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// The drawn picture of page button n (1..7).
QPixmap PageArt(int n) {
    const int size = 48;
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    static const QColor kColours[] = {QColor(230, 120, 40), QColor(60, 160, 70), QColor(70, 110, 200),
                                      QColor(200, 60, 90),  QColor(40, 150, 160), QColor(200, 160, 20),
                                      QColor(120, 80, 170)};
    const QColor c = kColours[(n - 1) % 7];
    p.setPen(QPen(c.darker(140), 2));
    p.setBrush(c.lighter(170));
    p.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), 8, 8);
    p.setBrush(c);
    switch (n) {
    case 1: {  // a crown: the best customers
        QPainterPath crown;
        crown.moveTo(10, 34);
        crown.lineTo(10, 16);
        crown.lineTo(18, 26);
        crown.lineTo(24, 12);
        crown.lineTo(30, 26);
        crown.lineTo(38, 16);
        crown.lineTo(38, 34);
        crown.closeSubpath();
        p.drawPath(crown);
        break;
    }
    case 2:  // a sprout: the freshest
        p.drawEllipse(QRectF(10, 14, 14, 10));
        p.drawEllipse(QRectF(24, 10, 14, 10));
        p.drawLine(QPointF(24, 38), QPointF(24, 20));
        break;
    case 3:  // an hourglass: time elapsed
        p.drawPolygon(QPolygonF({QPointF(14, 10), QPointF(34, 10), QPointF(24, 24)}));
        p.drawPolygon(QPolygonF({QPointF(24, 24), QPointF(34, 38), QPointF(14, 38)}));
        break;
    case 4:  // an envelope with a tick
        p.drawRect(QRectF(9, 14, 30, 20));
        p.drawPolyline(QPolygonF({QPointF(9, 14), QPointF(24, 26), QPointF(39, 14)}));
        p.setPen(QPen(Qt::white, 3));
        p.drawPolyline(QPolygonF({QPointF(28, 33), QPointF(32, 37), QPointF(40, 27)}));
        break;
    case 5: {  // a map pin
        QPainterPath pin;
        pin.moveTo(24, 40);
        pin.cubicTo(8, 24, 12, 8, 24, 8);
        pin.cubicTo(36, 8, 40, 24, 24, 40);
        p.drawPath(pin);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(24, 20), 5, 5);
        break;
    }
    case 6:  // stacked coins
        for (int i = 0; i < 3; ++i) p.drawEllipse(QRectF(12, 30 - i * 8, 24, 9));
        break;
    case 7:  // two buildings
        p.drawRect(QRectF(10, 16, 12, 22));
        p.drawRect(QRectF(26, 10, 12, 28));
        break;
    default: break;
    }
    return pm;
}

void PaintBackground(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(kSorunaBackground));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

}  // namespace

CSorunaSheet::CSorunaSheet(CMilvaneDoc* doc, bool lockedDM, IAddressLevels* levels, std::function<void()> beforeReset,
                           QWidget* parent)
    : QDialog(parent), m_doc(doc), m_levels(levels), m_logic(doc, lockedDM, std::move(beforeReset)) {
    setWindowTitle(U("ソルナ分析"));
    setObjectName(QStringLiteral("dlg142"));
    PaintBackground(this);
    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kSorunaPageCount; ++i) {
        QToolButton* b = MakeChoiceToolButton(group, i + 1, this);
        b->setText(U(kSorunaPageLabels[i]));
        b->setAccessibleName(U(kSorunaPageLabels[i]));
        b->setIcon(QIcon(PageArt(i + 1)));
        b->setIconSize(QSize(48, 48));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setMinimumWidth(190);
        b->setObjectName(QStringLiteral("page%1").arg(i + 1));
        b->setEnabled(m_logic.PageEnabled(i + 1));
        left->addWidget(b);
        m_buttons[size_t(i)] = b;
    }
    left->addStretch();
    top->addLayout(left);

    auto* right = new QVBoxLayout;
    m_area = new QStackedWidget(this);
    m_area->setMinimumSize(560, 420);
    right->addWidget(m_area, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_run = new QPushButton(U("実行"), this);
    m_cancel = new QPushButton(U("キャンセル"), this);
    m_run->setObjectName(QStringLiteral("ctl1"));
    m_cancel->setObjectName(QStringLiteral("ctl2"));
    m_run->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    right->addLayout(buttons);
    top->addLayout(right, 1);

    connect(group, &QButtonGroup::idClicked, this, [this](int page) { SelectPage(page); });
    connect(m_run, &QPushButton::clicked, this, &CSorunaSheet::OnRun);
    connect(m_cancel, &QPushButton::clicked, this, &CSorunaSheet::reject);

    SelectPage(m_logic.Page());
}

CSorunaSheet::~CSorunaSheet() = default;

CSorunaPageWidget* CSorunaSheet::CurrentPage() const {
    return qobject_cast<CSorunaPageWidget*>(m_area->currentWidget());
}

void CSorunaSheet::SelectPage(int page) {
    if (page < 1 || page > kSorunaPageCount || !m_logic.PageEnabled(page)) return;
    if (m_area->currentWidget() && page == m_logic.Page()) return;
    m_logic.SelectPage(page);
    CSorunaPageWidget*& w = m_pages[size_t(page - 1)];
    if (!w) {
        w = MakeSorunaPage(page, m_doc, m_levels, m_area);
        PaintBackground(w);
        m_area->addWidget(w);
    }
    m_area->setCurrentWidget(w);
    m_buttons[size_t(page - 1)]->setChecked(true);
    w->Shown();
}

void CSorunaSheet::OnRun() {
    CSorunaPageWidget* page = CurrentPage();
    if (!page) return;
    switch (page->Run(m_logic)) {
    case SorunaOutcome::Failed: return;
    case SorunaOutcome::Stored: m_storedKind = page->PageNumber(); break;
    case SorunaOutcome::Started: m_storedKind = 0; break;
    }
    accept();
}

void CSorunaSheet::reject() {
    m_logic.Cancel();
    QDialog::reject();
}

IAddressLevels& SorunaAddressLevels() {
    static CPostalAddressLevels levels;
    levels.SetDictionaries(Lookup::Current());
    return levels;
}

int RunSorunaSheet(QWidget* parent, CMilvaneDoc* doc, bool lockedDM, std::function<void()> beforeReset) {
    CSorunaSheet sheet(doc, lockedDM, &SorunaAddressLevels(), std::move(beforeReset), parent);
    if (sheet.exec() != QDialog::Accepted) return 0;
    return sheet.StoredKind();
}
