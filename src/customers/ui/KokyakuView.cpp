#include "customers/ui/KokyakuView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QScreen>

#include "analysis/ui/SorunaSheet.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/FindDlg.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MenuDefs.h"
#include "app/ui/ScreenRegistry.h"
#include "common/Ports.h"
#include "common/ui/ValueLabel.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuListCells.h"
#include "customers/ui/DispSettingsDlg.h"
#include "customers/ui/KokyakuEntryDlgRun.h"
#include "customers/ui/CardPane.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "dm/ui/MailSubjectDlg.h"
#include "history/ui/RirekiEntryDlg.h"
#include "exchange/ui/ExportDlg.h"
#include "exchange/ui/ImportDlg.h"
#include "extract/ui/ExtractDlg.h"
#include "dm/DMSelectLogic.h"
#include "dm/ui/DMSelectDlgs.h"
#include "printing/FormPrinting.h"

namespace {
constexpr int kMargin = 6;
QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

// ---------------------------------------------------------------- splitter

CSplitterBar::CSplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitHCursor);
    setFixedWidth(kSplitterWidth);
    setAccessibleName(QStringLiteral("カード幅の区切り"));
}

void CSplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && m_dragging) {
        m_dragging = false;
        if (m_band) m_band->hide();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    m_dragging = true;
    if (!m_band) m_band = new QRubberBand(QRubberBand::Line, parentWidget());
    m_band->setGeometry(geometry());
    m_band->show();
}

void CSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !m_band) return;
    int x = mapToParent(event->position().toPoint()).x();
    if (clamp) x = clamp(x);
    m_band->setGeometry(x, y(), width(), height());
}

void CSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) return;
    m_dragging = false;
    if (m_band) m_band->hide();
    int x = mapToParent(event->position().toPoint()).x();
    emit moved(clamp ? clamp(x) : x);
}

// ---------------------------------------------------------------- screen

CKokyakuView::CKokyakuView(CMilvaneDoc& doc, CMainFrame& frame, int mode, QWidget* parent)
    : CScreenView(doc, frame, parent), m_mode(mode) {
    m_listCtrl = new CKokyakuListCtrl(MakeKokyakuCellSource(), this);
    IKokyakuScreen& screen = *this;
    m_logic = std::make_unique<CKokyakuViewLogic>(&doc, m_listCtrl->List(), screen);

    auto neighbour = [](CNeighbour n) -> std::optional<std::pair<int32_t, bool>> {
        if (n.key == 0) return std::nullopt;
        return std::make_pair(n.key, n.further);
    };
    m_ops.addCustomer = [this](const CKokyaku& k) { return m_logic->AddCustomer(k); };
    m_ops.modifyCustomer = [this](int32_t key, const CKokyaku& k) { return m_logic->ModifyCustomer(key, k); };
    m_ops.nextCustomer = [this, neighbour] { return neighbour(m_logic->NextCustomer()); };
    m_ops.prevCustomer = [this, neighbour] { return neighbour(m_logic->PrevCustomer()); };

    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAccessibleName(QString::fromUtf8(text));
        connect(b, &QPushButton::clicked, this, [this, id] { Frame().OnCommand(id); });
        return b;
    };
    m_find = button(ID_FIND, "検索...");
    m_release = button(ID_EXTRACT_CLEAR, "抽出を解除(すべて表示)");
    m_redo = button(ID_EXTRACT_REDO, "抽出やり直し");
    m_save = button(ID_EXTRACT_SAVE, "抽出条件を保存");
    m_count = new CValueLabel(QStringLiteral("件数"), this);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_card = new CCardPane(LoadEntryLabels(doc.InstallDir()), this);
    m_card->SetPictureFolder(doc.PictureFolder());
    m_card->hide();
    m_history = std::make_unique<CKokyakuHistory>(&doc, m_listCtrl->List(), m_card->Logic(),
                                                  static_cast<IKokyakuHistoryScreen&>(*this));
    runRirekiDialog = [this](const RirekiDialogRequest& r, CRirekiData& result) {
        return RunRirekiEntryDialog(this, r.mode, r.owner, r.customerKey, r.record, r.hasPrevious, r.hasNext,
                                    Document().InstallDir(), Document().PictureFolder(), &result);
    };
    connect(m_card, &CCardPane::command, this, [this](int id) { Frame().OnCommand(id); });
    connect(m_card, &CCardPane::entryActivated, this, [this] { Frame().OnCommand(ID_RIREKI_MODIFY); });
    runMailSubjectDialog = MailSubjectDialogRunner(this);
    connect(m_card, &CCardPane::mailAddressActivated, this, &CKokyakuView::MailFromCardLink);
    m_splitter = new CSplitterBar(this);
    m_splitter->clamp = [this](int x) { return ClampSplitter(x, MinFormWidth()); };
    m_splitter->hide();
    connect(m_splitter, &CSplitterBar::moved, this, [this](int x) {
        m_listWidth = x - kMargin;
        LayoutChildren();
    });

    connect(m_listCtrl, &CKokyakuListCtrl::ContextMenuAt, this, &CKokyakuView::ShowContextMenu);
    connect(m_listCtrl, &CKokyakuListCtrl::SelectionChangedByUser, this, [this] { SyncCard(); });
    connect(m_listCtrl, &CKokyakuListCtrl::RowDoubleClicked, this, [this] {
        if (!m_cardShown) ShowCard(kCardPageDetail);
    });
    setTabOrder(m_find, m_release);
    setTabOrder(m_release, m_redo);
    setTabOrder(m_redo, m_save);
    setTabOrder(m_save, m_listCtrl);
}

CKokyakuView::~CKokyakuView() {
    if (m_cardShown) Ports::Profile().WriteInt(kSettingsSection, kCardWidthKey, m_card->width());
    m_history->Clear();
    // The rows may point at analysis hits that are dropped below.
    m_listCtrl->List().SetRows({});
    if (!m_keepResult) m_logic->DropExtraction();
}

void CKokyakuView::Register(CScreenRegistry& screens) {
    for (int n = SCREEN_KOKYAKU_LIST; n <= SCREEN_KOKYAKU_DETAIL; ++n)
        screens.Register(n, [](CMilvaneDoc& doc, CMainFrame& frame, int number) -> CScreenView* {
            return new CKokyakuView(doc, frame, number);
        });
}

void CKokyakuView::OnInitialUpdate() {
    Frame().SetResizable(true);
    Frame().ShowScreenToolBars(true);
    m_logic->FirstDisplay();
    Frame().showMaximized();
    if (m_logic->CardPageForMode() >= 0) ShowCard(m_logic->CardPageForMode());
    LayoutChildren();
    m_listCtrl->setFocus();
}

QPushButton* CKokyakuView::ExtractButton(int id) const {
    switch (id) {
    case ID_FIND: return m_find;
    case ID_EXTRACT_CLEAR: return m_release;
    case ID_EXTRACT_REDO: return m_redo;
    case ID_EXTRACT_SAVE: return m_save;
    default: return nullptr;
    }
}

int CKokyakuView::MinFormWidth() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().width() : 800;
}

void CKokyakuView::paintEvent(QPaintEvent*) {
    // The form's brush; the labels on it are transparent.
    QPainter(this).fillRect(rect(), QColor(0xFF, 0xFF, 0xC0));
}

void CKokyakuView::resizeEvent(QResizeEvent* event) {
    CScreenView::resizeEvent(event);
    LayoutChildren();
}

void CKokyakuView::LayoutChildren() {
    const int w = width(), h = height();
    int x = kMargin;
    const int rowHeight = m_find->sizeHint().height();
    for (QPushButton* b : {m_find, m_release, m_redo, m_save}) {
        if (b->isHidden()) continue;
        int bw = b->sizeHint().width();
        b->setGeometry(x, kMargin, bw, rowHeight);
        x += bw + kMargin;
    }
    m_count->setGeometry(std::max(x, w - kMargin - 120), kMargin, 120, rowHeight);
    const int top = kMargin * 2 + rowHeight;
    const int listHeight = std::max(0, h - top - kMargin);
    const int inner = std::max(0, w - 2 * kMargin);
    if (!m_cardShown) {
        m_listCtrl->setGeometry(kMargin, top, inner, listHeight);
        return;
    }
    if (m_listWidth < 0)
        m_listWidth = SplitterListWidth(inner, Ports::Profile().GetInt(kSettingsSection, kCardWidthKey, 0),
                                        MinFormWidth());
    m_listCtrl->setGeometry(kMargin, top, m_listWidth, listHeight);
    m_splitter->setGeometry(kMargin + m_listWidth, top, kSplitterWidth, listHeight);
    const int cardLeft = kMargin + m_listWidth + kSplitterWidth;
    m_card->setGeometry(cardLeft, top, std::max(0, w - kMargin - cardLeft), listHeight);
}

void CKokyakuView::ShowContextMenu(const QPoint& globalPos) {
    QMenu* menu = BuildPopupMenu(
        MENU_POPUP, 3, this, [this](int id) { Frame().OnCommand(id); },
        [this](int id) { return Frame().QueryCommand(id); });
    if (!menu) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

// ---------------------------------------------------------------- IKokyakuScreen

void CKokyakuView::SetFrameTitle(const std::string& title) { Frame().setWindowTitle(Q(title)); }

void CKokyakuView::SetCountText(const std::string& text) { m_count->SetValue(Q(text)); }

void CKokyakuView::ShowExtractionButtons(bool release, bool redo, bool save) {
    const std::pair<QPushButton*, bool> states[] = {{m_release, release}, {m_redo, redo}, {m_save, save}};
    for (const auto& [b, on] : states) {
        b->setVisible(on);
        b->setEnabled(on);
    }
    LayoutChildren();
}

QWidget* CKokyakuView::CardArea() const { return m_card; }

void CKokyakuView::ShowCardArea() {
    if (m_cardShown) return;
    m_cardShown = true;
    m_listWidth = -1;  // from the stored width
    m_listCtrl->SetSingleSelection(true);
    m_card->show();
    m_splitter->show();
    LayoutChildren();
    RefreshCard();
}

void CKokyakuView::ShowCard(int page) {
    m_card->Logic().SelectPage(page);
    ShowCardArea();
}

void CKokyakuView::RefreshCard() {
    m_card->SetPictureFolder(Document().PictureFolder());
    if (m_cardShown) m_history->Refresh();
    else m_history->Clear();
}

void CKokyakuView::ClearCard() { m_history->Clear(); }

void CKokyakuView::SyncCard() {
    if (!m_cardShown) return;
    const int row = m_listCtrl->List().NextSelected(-1);
    const CKokyaku* selected = row >= 0 ? m_listCtrl->List().Item(row).row->Record() : nullptr;
    if (selected != m_card->Logic().Customer()) m_history->Refresh();
}

bool CKokyakuView::CardOnHistoryPage() const {
    return m_cardShown && m_card->Logic().Page() == kCardPageHistory;
}

void CKokyakuView::HideCard() {
    if (!m_cardShown) return;
    Ports::Profile().WriteInt(kSettingsSection, kCardWidthKey, m_card->width());
    m_cardShown = false;
    m_card->hide();
    m_splitter->hide();
    m_listCtrl->SetSingleSelection(false);
    LayoutChildren();
}

void CKokyakuView::SwitchScreen(int screen) { Frame().SwitchView(screen); }

bool CKokyakuView::SaveExtraction() {
    return RunSaveExtractionDialog(this, Document().InstallDir(), Document().Extraction.get());
}

int CKokyakuView::ExtractionDialog(int mode) { return RunExtractDialog(this, Document(), mode); }

bool CKokyakuView::CanShowHistory() const { return Frame().Screens().IsRegistered(SCREEN_RIREKI_LIST); }

void CKokyakuView::ShowHistoryResult() {
    KeepResultOnLeave();
    Frame().SwitchView(SCREEN_RIREKI_LIST);
}

void CKokyakuView::CloseMainWindow() { Frame().close(); }

// ---------------------------------------------------------------- commands

bool CKokyakuView::UpdateCommand(int id, CCommandState& state) {
    switch (id) {
    case ID_KOKYAKU_ADD:
    case ID_KOKYAKU_MODIFY:
    case ID_KOKYAKU_COPY:
    case ID_KOKYAKU_BULK_MODIFY:
    case ID_KOKYAKU_DELETE:
    case ID_KOKYAKU_DELETE_RIREKI:
    case ID_FIND:
    case ID_KOKYAKU_COUNT:
    case ID_DB_UPDATE_LIST:
    case ID_LIST_COLUMNS:
    case ID_EXPORT:
    case ID_EXPORT_HTML:
    case ID_PRINT:
    case ID_IMPORT:
    case ID_IMPORT_BRENNA:
    case ID_VIEW_MENU_SCREEN:
    case ID_APP_EXIT:
    case ID_ANALYSIS:
        state.enabled = true;
        return true;
    case ID_KOKYAKU_SELECT_ALL:
        state.enabled = m_logic->CanSelectAll();
        return true;
    case ID_VIEW_DM_SCREEN:
        state.enabled = Frame().Screens().IsRegistered(SCREEN_DM);
        return true;
    case ID_EXTRACT_CLEAR:
        state.enabled = m_logic->IsFiltered();
        return true;
    case ID_EXTRACT:
        state.enabled = true;
        return true;
    case ID_EXTRACT_REDO:
    case ID_EXTRACT_SAVE:
        state.enabled = Document().Extraction != nullptr && Document().AnalysisKind == -1;
        return true;
    case ID_CARDTYPE_NORMAL:
    case ID_CARDTYPE_PERSONAL:
    case ID_CARDTYPE_CORPORATE:
        state.enabled = true;
        state.checkable = true;
        state.checked = m_logic->CardType() == id - ID_CARDTYPE_NORMAL;
        return true;
    case ID_KOKYAKU_BULK_RIREKI:
    case ID_RIREKI_ADD:
    case ID_MAIL_SEND:
        state.enabled = true;
        return true;
    case ID_VIEW_CARD:
        state.enabled = true;
        state.checkable = true;
        state.checked = m_cardShown;
        return true;
    case ID_CARD_RIREKI_PAGE:
    case ID_CARD_DETAIL_PAGE:
    case ID_CARD_DETAIL2_PAGE:
        state.enabled = m_cardShown;
        return true;
    case ID_RIREKI_FIND:
        state.enabled = CardOnHistoryPage() && m_card->Logic().Customer();
        return true;
    case ID_RIREKI_MODIFY:
    case ID_RIREKI_DELETE:
    case ID_RIREKI_COPY:
        state.enabled = CardOnHistoryPage() && m_card->Logic().RowCommandsEnabled();
        return true;
    default:
        return false;
    }
}

bool CKokyakuView::OnCommand(int id) {
    CCommandState state;
    if (UpdateCommand(id, state) && !state.enabled) return true;
    const bool handled = RunCommand(id);
    SyncCard();
    return handled;
}

bool CKokyakuView::RunCommand(int id) {
    switch (id) {
    case ID_RIREKI_ADD: m_history->Add(runRirekiDialog); return true;
    case ID_RIREKI_MODIFY: m_history->Change(runRirekiDialog); return true;
    case ID_RIREKI_COPY: m_history->Copy(runRirekiDialog); return true;
    case ID_RIREKI_DELETE: m_history->Delete(); return true;
    case ID_KOKYAKU_BULK_RIREKI: m_history->BulkAdd(runRirekiDialog); return true;
    case ID_MAIL_SEND: MailSelected(); return true;
    case ID_RIREKI_FIND:
        m_findInCard = true;
        Frame().OpenFindDialog();
        return true;
    case ID_VIEW_CARD:
        if (m_cardShown) HideCard();
        else ShowCard(m_card->Logic().Page());
        return true;
    case ID_CARD_RIREKI_PAGE:
    case ID_CARD_DETAIL_PAGE:
    case ID_CARD_DETAIL2_PAGE: {
        const int page = id - ID_CARD_RIREKI_PAGE;
        if (page != kCardPageHistory && m_findInCard && Frame().FindDialog()) Frame().FindDialog()->close();
        m_card->Logic().SelectPage(page);
        return true;
    }
    case ID_KOKYAKU_ADD: RunKokyakuAdd(this, &Document(), m_logic->CardType(), m_ops); return true;
    case ID_KOKYAKU_MODIFY: {
        CEntryTarget t = m_logic->EntryTarget();
        RunKokyakuChange(this, &Document(), m_logic->CardType(), t.record, t.hasPrev, t.hasNext, m_ops);
        return true;
    }
    case ID_KOKYAKU_COPY:
        RunKokyakuCopy(this, &Document(), m_logic->CardType(), m_logic->EntryTarget().record, m_ops);
        return true;
    case ID_KOKYAKU_BULK_MODIFY:
        RunKokyakuBulkChange(this, &Document(), m_logic->SelectedKeys(),
                             [this](const std::vector<uint32_t>& keys) { m_logic->RewriteRows(keys); });
        return true;
    case ID_KOKYAKU_DELETE: m_logic->Delete(); return true;
    case ID_KOKYAKU_DELETE_RIREKI: m_logic->DeleteAllHistory(); return true;
    case ID_KOKYAKU_SELECT_ALL: m_logic->SelectAll(); return true;
    case ID_KOKYAKU_COUNT: m_logic->Counts(); return true;
    case ID_DB_UPDATE_LIST: m_logic->Update(); return true;
    case ID_LIST_COLUMNS:
        if (RunDispSettingsDialog(this, Document().InstallDir())) m_logic->DisplaySettingsChanged();
        return true;
    case ID_EXPORT: {
        const CKokyakuList selected = m_logic->SelectedRecords();
        RunExportCommand(this, Document(), RecordPointers(selected));
        return true;
    }
    case ID_EXPORT_HTML: {
        const CKokyakuList selected = m_logic->SelectedRecords();
        RunHtmlExportCommand(this, Document(), RecordPointers(selected));
        return true;
    }
    case ID_PRINT:
        if (PrintSelectedCustomers(Document(), RecordPointers(m_logic->SelectedRecords()))) {
            RefreshCard();
            m_logic->RewriteRows(m_logic->SelectedKeys());
        }
        return true;
    case ID_IMPORT: RunImportCommand(this, Document(), *m_logic); return true;
    case ID_IMPORT_BRENNA: RunBrennaImportCommand(this, *m_logic); return true;
    case ID_CARDTYPE_NORMAL:
    case ID_CARDTYPE_PERSONAL:
    case ID_CARDTYPE_CORPORATE: m_logic->SetCardType(id - ID_CARDTYPE_NORMAL); return true;
    case ID_FIND:
        m_findInCard = false;
        Frame().OpenFindDialog();
        return true;
    case ID_EXTRACT_CLEAR: m_logic->ReleaseExtraction(); return true;
    case ID_EXTRACT: m_logic->Extract(); return true;
    case ID_EXTRACT_REDO: m_logic->RedoExtraction(); return true;
    case ID_EXTRACT_SAVE: m_logic->SaveExtractionCommand(); return true;
    case ID_ANALYSIS: {
        if (!m_logic->CheckUnsavedExtraction()) return true;
        // The rows point at the hits of the previous result.
        bool cleared = false;
        const int kind = RunSorunaSheet(this, &Document(), false, [this, &cleared] {
            m_listCtrl->List().SetRows({});
            cleared = true;
        });
        m_logic->AnalysisFinished(kind, cleared);
        return true;
    }
    case ID_VIEW_MENU_SCREEN: m_logic->MenuScreen(); return true;
    case ID_VIEW_DM_SCREEN:
        if (m_logic->CheckUnsavedExtraction() &&
            CustomersToDm(&Document(), m_logic->SelectedKeys(),
                          [this](const CDMKeys& keys) { return RunDMTitleSelectDialog(this, &Document(), keys); }))
            SwitchScreen(SCREEN_DM);
        return true;
    case ID_APP_EXIT: m_logic->Exit(); return true;
    default: return false;
    }
}

void CKokyakuView::MailSelected() {
    const std::vector<uint32_t> keys = m_logic->SelectedKeys();
    const CCustomerMailOutcome outcome = MailToCustomers(&Document(), keys, Mail::Interface(), runMailSubjectDialog);
    if (outcome.historyResult == 0) return;
    m_history->Refresh();
    if (outcome.historyResult == 1) m_history->MarkHistoryDate(std::vector<int32_t>(keys.begin(), keys.end()), outcome.at);
}

void CKokyakuView::MailFromCardLink(const QString& address) {
    const CKokyaku* customer = m_card->Logic().Customer();
    if (!customer) return;
    MailFromCard(&Document(), customer->ID, address.toStdString(), Mail::Interface(), runMailSubjectDialog,
                 *m_history);
}

int CKokyakuView::OnFindRequest(const CFindRequest& request) {
    const bool inCard = CardOnHistoryPage() && (m_findInCard || m_card->isAncestorOf(QApplication::focusWidget()));
    if (inCard) return m_card->Logic().Find(request.text.toStdString(), request.down) ? 1 : 0;
    return m_logic->Find(request.text.toStdString(), request.down) ? 1 : 0;
}
