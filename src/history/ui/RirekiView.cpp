#include "history/ui/RirekiView.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <algorithm>

#include "app/CommandIds.h"
#include "analysis/ui/SorunaSheet.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ScreenRegistry.h"
#include "common/ui/ScrollPage.h"
#include "extract/ui/ExtractDlg.h"
#include "history/RirekiListModel.h"
#include "history/ui/RirekiListCtrl.h"
#include "history/ui/RirekiViewDlg.h"
#include "printing/FormPrinting.h"

namespace {
constexpr int kMargin = 6;
// Below this client size the screen scrolls (a 750 x 491 window less its frame,
// caption, menu bar and scroll bars).
constexpr int kMinPageWidth = 730;
constexpr int kMinPageHeight = 420;
QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

CRirekiView::CRirekiView(CMilvaneDoc& doc, CMainFrame& frame, QWidget* parent) : CScreenView(doc, frame, parent) {
    setObjectName("RirekiView");
    setAccessibleName(QStringLiteral("履歴一覧画面"));
    const CScrollPage sp = MakeScrollPage(this, {kMinPageWidth, kMinPageHeight}, QColor(0xFF, 0xFF, 0xC0));
    m_scroll = sp.scroll;
    m_page = sp.page;
    m_listCtrl = new CRirekiListCtrl(m_page);
    m_listCtrl->setObjectName("list1180");
    // The page is at least wide enough for the list's default columns.
    m_page->setMinimumWidth(
        std::max(kMinPageWidth, 2 * kMargin + ListWidthForColumns(m_listCtrl, RirekiDefaultColumnsWidth())));
    IRirekiScreen& screen = *this;
    m_logic = std::make_unique<CRirekiListLogic>(&doc, m_listCtrl->List(), screen);

    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), m_page);
        b->setObjectName(QStringLiteral("button%1").arg(id));
        b->setAccessibleName(QString::fromUtf8(text));
        connect(b, &QPushButton::clicked, this, [this, id] { Frame().OnCommand(id); });
        return b;
    };
    m_find = button(ID_FIND, "検索...");
    m_release = button(ID_EXTRACT_CLEAR_RIREKI, "抽出を解除(すべて表示)");
    m_redo = button(ID_EXTRACT_REDO, "抽出やり直し");
    m_save = button(ID_EXTRACT_SAVE, "抽出条件を保存");
    m_count = new CValueLabel(QStringLiteral("件数"), m_page);
    m_count->setObjectName("count1259");
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetCountText("全履歴表示");
    ShowExtractionButtons(false);

    connect(m_listCtrl, &CRirekiListCtrl::RowDoubleClicked, this, [this](int) {
        CCommandState state;
        if (UpdateCommand(ID_RIREKI_MODIFY, state) && state.enabled) ViewEntry();
    });
    connect(m_listCtrl, &CRirekiListCtrl::SelectionChangedByUser, &frame, &CMainFrame::UpdateCommandUI);
    setTabOrder(m_find, m_release);
    setTabOrder(m_release, m_redo);
    setTabOrder(m_redo, m_save);
    setTabOrder(m_save, m_listCtrl);
}

CRirekiView::~CRirekiView() { m_logic->Close(); }

void CRirekiView::Register(CScreenRegistry& screens) {
    screens.Register(SCREEN_RIREKI_LIST, [](CMilvaneDoc& doc, CMainFrame& frame, int) -> CScreenView* {
        return new CRirekiView(doc, frame);
    });
}

void CRirekiView::OnInitialUpdate() {
    Frame().setWindowTitle(Q(kRirekiTitle));
    Frame().SetResizable(true);
    Frame().ShowScreenToolBars(true);
    Frame().showMaximized();
    LayoutChildren();
    m_listCtrl->SetHeadings(RirekiColumnHeadings(Document().InstallDir()));
    m_logic->LoadColumnWidths(m_listCtrl->viewport()->width());
    m_listCtrl->ApplyWidths();
    m_logic->Fill();
    m_listCtrl->setFocus();
    Frame().UpdateCommandUI();
}

QPushButton* CRirekiView::Button(int id) const {
    switch (id) {
    case ID_FIND: return m_find;
    case ID_EXTRACT_CLEAR_RIREKI: return m_release;
    case ID_EXTRACT_REDO: return m_redo;
    case ID_EXTRACT_SAVE: return m_save;
    default: return nullptr;
    }
}

void CRirekiView::resizeEvent(QResizeEvent* event) {
    CScreenView::resizeEvent(event);
    m_scroll->setGeometry(rect());
    LayoutChildren();
}

bool CRirekiView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_page && event->type() == QEvent::Resize) LayoutChildren();
    return CScreenView::eventFilter(watched, event);
}

void CRirekiView::LayoutChildren() {
    const int w = m_page->width(), h = m_page->height();
    int x = kMargin;
    const int rowHeight = m_find->sizeHint().height();
    for (QPushButton* b : {m_find, m_release, m_redo, m_save}) {
        if (b->isHidden()) continue;
        const int bw = b->sizeHint().width();
        b->setGeometry(x, kMargin, bw, rowHeight);
        x += bw + kMargin;
    }
    m_count->setGeometry(std::max(x, w - kMargin - 120), kMargin, 120, rowHeight);
    const int top = kMargin * 2 + rowHeight;
    m_listCtrl->setGeometry(kMargin, top, std::max(0, w - 2 * kMargin), std::max(0, h - top - kMargin));
}

// ---------------------------------------------------------------- IRirekiScreen

void CRirekiView::SetCountText(const std::string& text) {
    m_count->SetValue(Q(text));
}

void CRirekiView::ShowExtractionButtons(bool shown) {
    for (QPushButton* b : {m_release, m_redo, m_save}) {
        b->setVisible(shown);
        b->setEnabled(shown);
    }
    LayoutChildren();
}

void CRirekiView::SwitchScreen(int screen) { Frame().SwitchView(screen); }

bool CRirekiView::SaveExtraction() {
    return RunSaveExtractionDialog(this, Document().InstallDir(), Document().Extraction.get());
}

int CRirekiView::ExtractionDialog(int mode, int resultKind) {
    return RunExtractDialog(this, Document(), mode, resultKind);
}

int CRirekiView::AnalysisSheet() { return RunSorunaSheet(this, &Document(), false); }

bool CRirekiView::ScreenBuilt(int screen) const { return Frame().Screens().IsRegistered(screen); }

void CRirekiView::CloseMainWindow() { Frame().close(); }

// ---------------------------------------------------------------- commands

void CRirekiView::ViewEntry() {
    const CRirekiListTarget target = m_logic->ViewTarget();
    if (!target.record) return;
    CRirekiViewDlg dlg(this, target.record, target.hasPrevious, target.hasNext, Document().PictureFolder(), this);
    dlg.exec();
}

bool CRirekiView::UpdateCommand(int id, CCommandState& state) {
    switch (id) {
    case ID_RIREKI_MODIFY:
    case ID_RIREKI_DELETE:
        state.enabled = m_logic->HasSelection();
        return true;
    case ID_FIND:
    case ID_PRINT:
    case ID_VIEW_MENU_SCREEN:
    case ID_APP_EXIT:
        state.enabled = true;
        return true;
    case ID_EXTRACT_CLEAR_RIREKI:
    case ID_EXTRACT_REDO:
    case ID_EXTRACT_SAVE:
        state.enabled = m_logic->ExtractionShown();
        return true;
    case ID_EXTRACT:
    case ID_ANALYSIS:
        state.enabled = true;
        return true;
    default:
        return false;
    }
}

bool CRirekiView::OnCommand(int id) {
    CCommandState state;
    if (UpdateCommand(id, state) && !state.enabled) return true;
    switch (id) {
    case ID_RIREKI_MODIFY: ViewEntry(); return true;
    case ID_RIREKI_DELETE: m_logic->Delete(); return true;
    case ID_FIND: Frame().OpenFindDialog(); return true;
    case ID_PRINT:
        PrintSelectedRireki(Document(), m_logic->SelectedByCustomer(), m_listCtrl->List().SelectedCount());
        return true;
    case ID_EXTRACT_CLEAR_RIREKI: m_logic->ReleaseExtraction(); return true;
    case ID_EXTRACT: m_logic->Extract(); return true;
    case ID_EXTRACT_REDO: m_logic->RedoExtraction(); return true;
    case ID_EXTRACT_SAVE: m_logic->SaveConditions(); return true;
    case ID_ANALYSIS: m_logic->Analysis(); return true;
    case ID_VIEW_MENU_SCREEN: m_logic->MenuScreen(); return true;
    case ID_APP_EXIT: m_logic->Exit(); return true;
    default: return false;
    }
}

int CRirekiView::OnFindRequest(const CFindRequest& request) {
    return m_logic->Find(request.text.toStdString(), request.down) ? 1 : 0;
}
