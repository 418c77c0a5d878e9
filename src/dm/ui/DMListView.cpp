#include "dm/ui/DMListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/ui/SorunaSheet.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ScreenRegistry.h"
#include "common/ui/ScrollPage.h"
#include "common/ui/ValueLabel.h"
#include "dm/ui/DMSelectDlgs.h"
#include "dm/ui/DMTitleDlg.h"
#include "dm/ui/DMWidgets.h"
#include "dm/ui/MailSubjectDlg.h"
#include "printing/DmPrinting.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

const QColor kHitColour(200, 255, 200);
constexpr int kButtonTop = 30;
constexpr int kListTop = 65;
constexpr int kLeft = 15;
constexpr int kListsMargin = 30;  // left and right of the two lists together
constexpr int kListsGap = 5;      // between them
// Below this size of the page the screen scrolls.
constexpr int kMinPageWidth = 740;
constexpr int kMinPageHeight = 400;

QTreeWidget* MakeList(const QStringList& heads, const std::vector<int>& widths, const QString& name, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(heads);
    for (std::size_t i = 0; i < widths.size(); ++i) list->setColumnWidth(static_cast<int>(i), widths[i]);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setAccessibleName(name);
    return list;
}

std::vector<int> SelectedRows(const QTreeWidget* list) {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list->selectedItems()) rows.push_back(list->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}
}  // namespace

// ---------------------------------------------------------------- chart

CDMHitRateChart::CDMHitRateChart(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("DMヒット率"));
    setFocusPolicy(Qt::NoFocus);
}

void CDMHitRateChart::SetCounts(int hits, int targets) {
    m_hits = hits;
    m_targets = targets;
    setAccessibleDescription(Caption() + QStringLiteral("　") + Q(DMCountText(hits)) + QStringLiteral(" / ") +
                             Q(DMCountText(targets)));
    update();
}

QString CDMHitRateChart::Caption() const { return Q(DMHitRateCaption(DMHitRate(m_hits, m_targets))); }

void CDMHitRateChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double rate = DMHitRate(m_hits, m_targets);
    const int side = std::min(width(), height());
    const QRect circle(30, 30, std::max(0, side - 60), std::max(0, side - 60));

    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 4, width(), 24), Qt::AlignLeft | Qt::AlignVCenter, Caption());

    p.setBrush(rate > 0 ? kHitColour : QColor(Qt::white));
    p.drawEllipse(circle);
    // The share of non-hits as a white slice from the top, clockwise.
    const double slice = (100.0 - rate) * 0.0628;  // radians
    if (rate > 0 && rate < 100) {
        p.setBrush(Qt::white);
        p.drawPie(circle, 90 * 16, -static_cast<int>(std::lround(slice * 180.0 / M_PI * 16)));
    }
    // The counts beside the middle of each part.
    const QPointF c = QRectF(circle).center();
    const double r = circle.width() / 2.0 + 14;
    auto label = [&](double angleFromTop, int count) {
        QPointF at(c.x() + r * std::sin(angleFromTop), c.y() - r * std::cos(angleFromTop));
        QRectF box(at.x() - 30, at.y() - 10, 60, 20);
        p.drawText(box, Qt::AlignCenter, Q(DMCountText(count)));
    };
    if (m_targets > 0) {
        if (rate > 0) label(slice + (2 * M_PI - slice) / 2, m_hits);
        if (rate < 100) label(slice / 2, m_targets - m_hits);
    }
}

// ---------------------------------------------------------------- screen

CDMListView::CDMListView(CMilvaneDoc& doc, CMainFrame& frame, QWidget* parent) : CScreenView(doc, frame, parent) {
    setAccessibleName(QStringLiteral("DM送付管理画面"));
    runMailSubjectDialog = MailSubjectDialogRunner(this);
    IDMScreen& screen = *this;
    m_logic = std::make_unique<CDMViewLogic>(&doc, screen);

    const CScrollPage sp = MakeScrollPage(this, {kMinPageWidth, kMinPageHeight}, QColor(255, 255, 192));
    m_scroll = sp.scroll;
    m_page = sp.page;
    QWidget* page = m_page;

    m_titleLabel = new QLabel(QStringLiteral("DMタイトル一覧"), page);
    m_caption = new CValueLabel(QStringLiteral("送付対象顧客"), page, QString::fromUtf8(kDMTargetCaption));
    const std::pair<int, const char*> buttons[] = {
        {ID_DM_ADD, "DMを追加..."},          {ID_DM_MODIFY, "DMを修正..."},
        {ID_DM_DELETE, "DMを削除"},          {ID_DM_COPY, "DMをコピー..."},
        {ID_DM_TARGET_ADD, "顧客を追加..."}, {ID_DM_TARGET_DELETE, "顧客を削除"},
        {ID_DM_HIT_RATE, "DMヒット率分析..."},
    };
    for (auto [id, text] : buttons) {
        auto* b = new QPushButton(QString::fromUtf8(text), page);
        b->setAccessibleName(QString::fromUtf8(text));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] {
            OnCommand(id);
            Frame().UpdateCommandUI();
        });
        m_buttons.emplace_back(id, b);
    }
    m_titles = MakeList({QStringLiteral("済"), QStringLiteral("送付日"), QStringLiteral("DMタイトル"),
                         QStringLiteral("内容"), QStringLiteral("管理者"), QStringLiteral("送付方法")},
                        {28, 100, 120, 65, 95, 85}, QStringLiteral("DMタイトル一覧"), page);
    m_titleLabel->setBuddy(m_titles);
    const std::vector<int> targetWidths = {100, 190, 190};
    m_targets = MakeList({QStringLiteral("お客様コード"), QStringLiteral("氏名"), QStringLiteral("会社名")},
                         targetWidths, QStringLiteral("DM送付対象顧客"), page);
    // The page is at least wide enough for the target list's default columns
    // in its half (see LayoutChildren).
    const int targetsWidth =
        ListWidthForColumns(m_targets, std::accumulate(targetWidths.begin(), targetWidths.end(), 0));
    m_page->setMinimumWidth(std::max(kMinPageWidth, kListsMargin + 2 * (targetsWidth + kListsGap)));
    m_caption->setBuddy(m_targets);
    m_chart = new CDMHitRateChart(page);
    m_chart->hide();

    connect(m_titles, &QTreeWidget::itemSelectionChanged, this, &CDMListView::TitleSelectionChanged);
    connect(m_targets, &QTreeWidget::itemSelectionChanged, this, &CDMListView::TargetSelectionChanged);
    connect(m_titles, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 0) m_logic->ClickCheck(m_titles->indexOfTopLevelItem(item));
    });
    connect(m_titles, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int column) {
        if (column != 0) m_logic->Change();
    });
    m_titles->installEventFilter(this);

    // Tab order: titles' buttons, titles, targets' buttons, targets.
    QWidget* order[] = {Button(ID_DM_ADD), Button(ID_DM_MODIFY), Button(ID_DM_DELETE), Button(ID_DM_COPY),
                        m_titles, Button(ID_DM_TARGET_ADD), Button(ID_DM_TARGET_DELETE), Button(ID_DM_HIT_RATE),
                        m_targets};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

CDMListView::~CDMListView() { m_logic->Close(); }

void CDMListView::Register(CScreenRegistry& screens) {
    screens.Register(SCREEN_DM, [](CMilvaneDoc& doc, CMainFrame& frame, int) -> CScreenView* {
        return new CDMListView(doc, frame);
    });
}

QPushButton* CDMListView::Button(int command) const {
    for (auto [id, b] : m_buttons)
        if (id == command) return b;
    return nullptr;
}

void CDMListView::OnInitialUpdate() {
    Frame().SetResizable(true);
    Frame().ShowScreenToolBars(true);
    m_logic->Open();
    Frame().showMaximized();
    LayoutChildren();
    m_titles->setFocus();
}

bool CDMListView::UpdateCommand(int id, CCommandState& state) {
    switch (id) {
    case ID_DM_ADD:
    case ID_DM_MODIFY:
    case ID_DM_DELETE:
    case ID_DM_COPY:
    case ID_DM_TARGET_ADD:
    case ID_DM_TARGET_DELETE:
        state.enabled = m_logic->CommandEnabled(id);
        return true;
    case ID_DM_HIT_RATE:
        state.enabled = m_logic->ButtonEnabled(id);
        return true;
    case ID_MAIL_SEND:
    case ID_FILE_PRINT:
        state.enabled = true;
        return true;
    default:
        return false;
    }
}

bool CDMListView::OnCommand(int id) {
    switch (id) {
    case ID_DM_ADD: m_logic->Add(); return true;
    case ID_DM_MODIFY: m_logic->Change(); return true;
    case ID_DM_DELETE: m_logic->Delete(); return true;
    case ID_DM_COPY: m_logic->Copy(); return true;
    case ID_DM_TARGET_ADD: m_logic->AddTargets(); return true;
    case ID_DM_TARGET_DELETE: m_logic->RemoveTargets(); return true;
    case ID_DM_HIT_RATE: m_logic->HitRateAnalysis(); return true;
    case ID_MAIL_SEND: MailForDmScreen(*m_logic, &Document(), Mail::Interface(), runMailSubjectDialog); return true;
    case ID_FILE_PRINT: PrintDm(&Document(), *m_logic); return true;
    default: return false;
    }
}

// ---------------------------------------------------------------- IDMScreen

void CDMListView::SetFrameTitle(const std::string& title) { Frame().setWindowTitle(Q(title)); }

void CDMListView::FillTitleRow(QTreeWidgetItem* item, const CDMListData& t) {
    const bool sent = t.SendState == 1;
    item->setIcon(0, DMCheckIcon(sent));
    item->setData(0, Qt::AccessibleTextRole, sent ? QStringLiteral("送付済み") : QStringLiteral("未送付"));
    item->setToolTip(0, sent ? QStringLiteral("送付済み") : QStringLiteral("未送付"));
    item->setText(1, Q(t.Date.Format("%Y/%m/%d")));
    item->setText(2, Q(t.Title));
    item->setText(3, Q(t.Content));
    item->setText(4, Q(t.Manager));
    item->setText(5, Q(DMSendMethodText(t.SendMethod)));
}

void CDMListView::Redraw() {
    m_redrawing = true;
    // Titles: the rows are rebuilt only when their number changed.
    const auto& rows = m_logic->Rows();
    if (m_titles->topLevelItemCount() != static_cast<int>(rows.size())) {
        m_titles->clear();
        for (std::size_t i = 0; i < rows.size(); ++i) new QTreeWidgetItem(m_titles);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) FillTitleRow(m_titles->topLevelItem(static_cast<int>(i)), *rows[i]);
    if (SelectedRows(m_titles) != m_logic->SelectedRows()) {
        m_titles->clearSelection();
        for (int r : m_logic->SelectedRows()) m_titles->topLevelItem(r)->setSelected(true);
        if (!m_logic->SelectedRows().empty()) {
            QTreeWidgetItem* first = m_titles->topLevelItem(m_logic->SelectedRows().front());
            m_titles->setCurrentItem(first, 0, QItemSelectionModel::NoUpdate);
            m_titles->scrollToItem(first);
        }
    }

    // Targets, hits painted.
    m_targets->setUpdatesEnabled(false);
    m_targets->clear();
    for (const CDMMngData* d : m_logic->Targets()) {
        auto* item = new QTreeWidgetItem(m_targets, {Q(d->CustomerCode), Q(d->Name), Q(d->CompName)});
        if (m_logic->IsHit(d->CustomerID))
            for (int c = 0; c < 3; ++c) item->setBackground(c, kHitColour);
    }
    m_targets->setUpdatesEnabled(true);

    m_caption->SetValue(Q(m_logic->Caption()));
    for (auto [id, b] : m_buttons) b->setEnabled(m_logic->ButtonEnabled(id));
    m_chart->SetCounts(m_logic->HitCount(), m_logic->TargetCount());
    m_chart->setVisible(m_logic->ShowingHitRate());
    LayoutChildren();
    m_redrawing = false;
    Frame().UpdateCommandUI();
}

bool CDMListView::EditTitle(CDMTitleForm& form) { return RunDMTitleDialog(this, Document().InstallDir(), form); }

bool CDMListView::ChooseCustomers(std::vector<CDMMngData>& chosen) {
    return RunCustomerSelectDialog(this, Document(), chosen);
}

bool CDMListView::CanAnalyseHitRate() const { return true; }

bool CDMListView::AnalyseHitRate() { return RunSorunaSheet(this, &Document(), true) == 4; }

// ---------------------------------------------------------------- events

void CDMListView::TitleSelectionChanged() {
    if (m_redrawing) return;
    m_logic->SelectTitles(SelectedRows(m_titles));
}

void CDMListView::TargetSelectionChanged() {
    if (m_redrawing) return;
    m_logic->SelectTargets(SelectedRows(m_targets));
}

bool CDMListView::eventFilter(QObject* watched, QEvent* event) {
    // The space key on a title does what a click on its image does.
    if (watched == m_page && event->type() == QEvent::Resize) LayoutChildren();
    if (watched == m_titles && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && m_titles->currentItem()) {
            m_logic->ClickCheck(m_titles->indexOfTopLevelItem(m_titles->currentItem()));
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_titles->currentItem()) {
            m_logic->Change();
            return true;
        }
    }
    return CScreenView::eventFilter(watched, event);
}

void CDMListView::resizeEvent(QResizeEvent* event) {
    CScreenView::resizeEvent(event);
    m_scroll->setGeometry(rect());
}

void CDMListView::LayoutChildren() {
    const int w = m_page->width(), h = m_page->height();
    const int listsW = w - kListsMargin, listsH = h - 80;
    const int titleW = std::min(listsW / 2, 500);
    const int targetX = kLeft + titleW + kListsGap, targetW = std::max(0, listsW - titleW - kListsGap);

    m_titleLabel->setGeometry(kLeft, 8, titleW, 20);
    m_caption->setGeometry(targetX, 8, targetW, 20);
    auto row = [&](std::initializer_list<int> ids, int x) {
        for (int id : ids) {
            QPushButton* b = Button(id);
            int bw = b->sizeHint().width();
            b->setGeometry(x, kButtonTop, bw, 28);
            x += bw + 4;
        }
        return x;
    };
    row({ID_DM_ADD, ID_DM_MODIFY, ID_DM_DELETE, ID_DM_COPY}, kLeft);
    row({ID_DM_TARGET_ADD, ID_DM_TARGET_DELETE}, targetX);
    QPushButton* hit = Button(ID_DM_HIT_RATE);
    hit->setGeometry(std::max(targetX, targetX + targetW - hit->sizeHint().width()), kButtonTop,
                     hit->sizeHint().width(), 28);

    if (m_logic->ShowingHitRate()) {
        const int half = listsH / 2;
        m_titles->setGeometry(kLeft, kListTop, titleW, half);
        const int side = std::min(titleW, listsH - half);
        m_chart->setGeometry(kLeft, kListTop + half, side, side);
    } else {
        m_titles->setGeometry(kLeft, kListTop, titleW, listsH);
    }
    m_targets->setGeometry(targetX, kListTop, targetW, listsH);
}
