#include "customers/ui/CardPane.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "customers/Kokyaku.h"
#include "pictures/ui/PictureWnd.h"

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }

QColor ColorOf(uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

void Place(QWidget* w, const CardRect& r) { w->setGeometry(r.x, r.y, r.w, r.h); }

}  // namespace

CCardPane::CCardPane(std::function<std::string(const std::string&)> labelOf, QWidget* parent)
    : QWidget(parent), m_labelOf(std::move(labelOf)) {
    setAccessibleName(QString::fromUtf8("カード"));
    openUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };

    const char* tabTexts[] = {"履歴", "詳細", "詳細２"};
    for (int i = 0; i < 3; ++i) {
        m_tabs[i] = new QPushButton(QString::fromUtf8(tabTexts[i]), this);
        m_tabs[i]->setCheckable(true);
        m_tabs[i]->setAutoDefault(false);
        m_tabs[i]->setAccessibleName(QString::fromUtf8(tabTexts[i]));
        // The screen switches the page (and closes a find dialog searching the history).
        connect(m_tabs[i], &QPushButton::clicked, this, [this, i] {
            m_tabs[i]->setChecked(m_logic.Page() == i);
            emit command(ID_CARD_RIREKI_PAGE + i);
        });
    }
    auto makeButton = [this](int id, const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        b->setAccessibleName(QString::fromUtf8(name));
        connect(b, &QPushButton::clicked, this, [this, id] { emit command(id); });
        return std::make_pair(id, b);
    };
    m_historyButtons = {makeButton(ID_RIREKI_ADD, "新規追加...", "履歴：新規追加..."),
                        makeButton(ID_RIREKI_MODIFY, "修正...", "履歴：修正..."),
                        makeButton(ID_RIREKI_FIND, "検索...", "履歴：検索..."),
                        makeButton(ID_RIREKI_COPY, "ｺﾋﾟｰ", "履歴：ｺﾋﾟｰ"),
                        makeButton(ID_RIREKI_DELETE, "削除", "履歴：削除")};
    m_detailButtons = {makeButton(ID_KOKYAKU_MODIFY, "修正...", "顧客：修正..."),
                       makeButton(ID_KOKYAKU_COPY, "ｺﾋﾟｰ", "顧客：ｺﾋﾟｰ")};

    m_history = new QTreeWidget(this);
    m_history->setAccessibleName(QString::fromUtf8("履歴"));
    m_history->setRootIsDecorated(false);
    m_history->setSelectionMode(QAbstractItemView::SingleSelection);
    m_history->setAllColumnsShowFocus(true);
    QStringList titles;
    for (const auto& t : HistoryColumnTitles()) titles << U(t);
    m_history->setHeaderLabels(titles);
    m_history->header()->setSectionsClickable(true);
    m_history->header()->setSortIndicatorShown(false);
    connect(m_history->header(), &QHeaderView::sectionClicked, this, [this](int c) { m_logic.SortByColumn(c); });
    connect(m_history, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (m_syncing) return;
        m_logic.Select(item ? m_history->indexOfTopLevelItem(item) : -1);
    });
    connect(m_history, &QTreeWidget::itemActivated, this, [this] { emit entryActivated(); });

    // Detail card: one row per item; the mark above.
    m_detailScroll = new QScrollArea(this);
    m_detailScroll->setWidgetResizable(true);
    m_detailScroll->setAccessibleName(QString::fromUtf8("詳細"));
    m_detail = new QWidget;
    m_detail->setAccessibleName(QString::fromUtf8("詳細"));
    auto* grid = new QGridLayout(m_detail);
    m_mark = new QLabel(m_detail);
    m_mark->setAccessibleName(QString());
    grid->addWidget(m_mark, 0, 0, 1, 2);
    int row = 1;
    for (const CDetailItem& item : DetailItems(nullptr, m_labelOf)) {
        auto* label = new QLabel(U(item.label), m_detail);
        auto* value = new QLabel(m_detail);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                                       Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        value->setFocusPolicy(Qt::StrongFocus);
        value->setAccessibleName(U(item.label));
        if (item.kind == DetailKind::Url)
            connect(value, &QLabel::linkActivated, this, [this](const QString& link) {
                if (openUrl) openUrl(link);
            });
        else if (item.kind == DetailKind::Mail)
            // Queued: the subject dialog opens after the link's own event has returned.
            connect(value, &QLabel::linkActivated, this, &CCardPane::mailAddressActivated, Qt::QueuedConnection);
        grid->addWidget(label, row, 0);
        if (item.kind == DetailKind::Color) {
            auto* box = new QHBoxLayout;
            m_colorSwatch = new QLabel(m_detail);
            m_colorSwatch->setFixedSize(16, 16);
            m_colorSwatch->setAutoFillBackground(true);
            m_colorSwatch->setAccessibleName(U(item.label));
            box->addWidget(m_colorSwatch);
            box->addWidget(value, 1);
            grid->addLayout(box, row, 1);
        } else {
            grid->addWidget(value, row, 1);
        }
        m_labels.emplace_back(item.field, label);
        m_values.emplace_back(item.field, value);
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    m_detailScroll->setWidget(m_detail);

    // Picture card: five picture windows with their captions.
    m_pictures = new QWidget(this);
    m_pictures->setAccessibleName(QString::fromUtf8("詳細２"));
    auto* pictureGrid = new QGridLayout(m_pictures);
    for (int i = 0; i < 5; ++i) {
        const std::string field = "Picture" + std::to_string(i + 1);
        std::string caption = m_labelOf ? m_labelOf(field) : std::string();
        m_pictureCaptions[i] = new QLabel(U(caption), m_pictures);
        m_pictureWnds[i] = new CPictureWnd(m_pictures);
        m_pictureWnds[i]->setAccessibleName(U(caption));
        m_pictureWnds[i]->setMinimumSize(92, 99);
        pictureGrid->addWidget(m_pictureCaptions[i], (i / 3) * 2, i % 3);
        pictureGrid->addWidget(m_pictureWnds[i], (i / 3) * 2 + 1, i % 3);
    }

    m_logic.rowsChanged = [this] { RebuildRows(); };
    m_logic.selectionChanged = [this] { SyncSelection(); };
    m_logic.customerChanged = [this] { ShowCustomer(); };
    m_logic.pageChanged = [this] { ShowPage(); };
    ShowCustomer();
    ShowPage();
}

QPushButton* CCardPane::Button(int id) const {
    for (const auto* list : {&m_historyButtons, &m_detailButtons})
        for (const auto& [bid, b] : *list)
            if (bid == id) return b;
    return nullptr;
}

QLabel* CCardPane::DetailValue(const std::string& field) const {
    for (const auto& [f, l] : m_values)
        if (f == field) return l;
    return nullptr;
}

void CCardPane::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Layout();
}

void CCardPane::Layout() {
    const int w = width(), h = height();
    for (int i = 0; i < 3; ++i) Place(m_tabs[i], CardTabRect(i, w));
    for (std::size_t n = 0; n < m_historyButtons.size(); ++n)
        Place(m_historyButtons[n].second, CardButtonRect(static_cast<int>(n)));
    for (std::size_t n = 0; n < m_detailButtons.size(); ++n)
        Place(m_detailButtons[n].second, CardButtonRect(static_cast<int>(n)));
    const CardRect page = CardPageRect(w, h);
    for (QWidget* area : {static_cast<QWidget*>(m_history), static_cast<QWidget*>(m_detailScroll), m_pictures})
        Place(area, page);
    const auto widths = HistoryColumnWidths(m_history->viewport()->width());
    for (int c = 0; c < kHistoryColumns; ++c) m_history->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
}

void CCardPane::RebuildRows() {
    m_syncing = true;
    m_history->clear();
    QList<QTreeWidgetItem*> items;
    for (int r = 0; r < m_logic.RowCount(); ++r) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < kHistoryColumns; ++c) {
            std::string text = m_logic.CellText(r, c);
            if (c == 2) std::replace(text.begin(), text.end(), '\n', ' ');
            item->setText(c, U(text));
        }
        items << item;
    }
    m_history->addTopLevelItems(items);
    m_syncing = false;
    SyncSelection();
}

void CCardPane::SyncSelection() {
    m_syncing = true;
    const int row = m_logic.Selected();
    QTreeWidgetItem* item = row >= 0 ? m_history->topLevelItem(row) : nullptr;
    m_history->setCurrentItem(item);
    if (item) {
        item->setSelected(true);
        m_history->scrollToItem(item);
    } else {
        m_history->clearSelection();
    }
    m_syncing = false;
    const bool enabled = m_logic.RowCommandsEnabled();
    for (int id : {ID_RIREKI_MODIFY, ID_RIREKI_COPY, ID_RIREKI_DELETE}) Button(id)->setEnabled(enabled);
    const bool customer = m_logic.Customer() != nullptr;
    Button(ID_RIREKI_ADD)->setEnabled(customer);
    Button(ID_RIREKI_FIND)->setEnabled(customer);
}

void CCardPane::ShowCustomer() {
    const CKokyaku* k = m_logic.Customer();
    const auto items = DetailItems(k, m_labelOf);
    for (std::size_t i = 0; i < items.size() && i < m_values.size(); ++i) {
        const CDetailItem& item = items[i];
        QLabel* value = m_values[i].second;
        const QString text = U(item.value);
        if ((item.kind == DetailKind::Url || item.kind == DetailKind::Mail) && !text.isEmpty()) {
            value->setTextFormat(Qt::RichText);
            value->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(text.toHtmlEscaped()));
        } else {
            value->setTextFormat(Qt::PlainText);
            value->setText(text);
        }
        value->setAccessibleName(U(item.label));
        value->setAccessibleDescription(text);
        if (item.kind == DetailKind::Color && m_colorSwatch) {
            QPalette pal = m_colorSwatch->palette();
            pal.setColor(QPalette::Window, ColorOf(k ? item.color : 0xFFFFFF));
            m_colorSwatch->setPalette(pal);
            m_colorSwatch->setAccessibleDescription(text);
        }
    }
    switch (MarkOf(k)) {
    case CustomerMark::Vip:
        m_mark->setText(QStringLiteral("VIP"));
        m_mark->setStyleSheet(QStringLiteral("color: #B8860B; font-weight: bold; font-size: 15pt;"));
        break;
    case CustomerMark::Caution:
        m_mark->setText(QString::fromUtf8(kCautionText));
        m_mark->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-size: 15pt;"));
        break;
    case CustomerMark::None:
        m_mark->clear();
        m_mark->setStyleSheet(QString());
        break;
    }
    m_mark->setAccessibleName(m_mark->text());
    const std::string* pictures[] = {k ? &k->Picture1 : nullptr, k ? &k->Picture2 : nullptr,
                                     k ? &k->Picture3 : nullptr, k ? &k->Picture4 : nullptr,
                                     k ? &k->Picture5 : nullptr};
    for (int i = 0; i < 5; ++i) {
        m_pictureWnds[i]->SetFolder(m_pictureFolder);
        m_pictureWnds[i]->SetPicture(pictures[i] ? *pictures[i] : std::string());
    }
    SyncSelection();
}

void CCardPane::ShowPage() {
    const int page = m_logic.Page();
    for (int i = 0; i < 3; ++i) m_tabs[i]->setChecked(i == page);
    const bool history = page == kCardPageHistory;
    for (auto& [id, b] : m_historyButtons) b->setVisible(history);
    for (auto& [id, b] : m_detailButtons) b->setVisible(!history);
    m_history->setVisible(history);
    m_detailScroll->setVisible(page == kCardPageDetail);
    m_pictures->setVisible(page == kCardPageDetail2);
    Layout();
}
