#include "app/ui/MainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "app/MilvaneApp.h"
#include "app/MilvaneDoc.h"
#include "app/ui/AboutDlg.h"
#include "app/ui/Artwork.h"
#include "app/ui/FindDlg.h"
#include "app/ui/MenuDefs.h"
#include "app/ui/ScreenRegistry.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "common/ui/WindowFront.h"

namespace {

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;

struct ToolDef {
    int id;            // 0: separator
    const char* label;
};

// Toolbar buttons of the three list screens.
const std::vector<ToolDef> kToolDefs[3] = {
    {{ID_VIEW_MENU_SCREEN, "メニュー"}, {0, nullptr},
     {ID_KOKYAKU_ADD, "追加"}, {ID_KOKYAKU_MODIFY, "修正"}, {ID_KOKYAKU_DELETE, "削除"}, {0, nullptr},
     {ID_RIREKI_ADD, "履歴追加"}, {0, nullptr},
     {ID_FIND, "検索"}, {ID_EXTRACT, "抽出"}, {ID_EXTRACT_CLEAR, "抽出解除"}, {ID_ANALYSIS, "分析"}, {0, nullptr},
     {ID_VIEW_CARD, "カード"}, {0, nullptr},
     {ID_PRINT, "印刷"}, {ID_MAIL_SEND, "メール"}, {0, nullptr},
     {ID_HELP_CONTENTS, "ヘルプ"}},
    {{ID_VIEW_MENU_SCREEN, "メニュー"}, {0, nullptr},
     {ID_RIREKI_MODIFY, "参照"}, {ID_RIREKI_DELETE, "削除"}, {0, nullptr},
     {ID_FIND, "検索"}, {ID_EXTRACT, "抽出"}, {ID_EXTRACT_CLEAR_RIREKI, "抽出解除"}, {ID_ANALYSIS, "分析"},
     {0, nullptr},
     {ID_PRINT, "印刷"}, {0, nullptr},
     {ID_HELP_CONTENTS, "ヘルプ"}},
    {{ID_VIEW_MENU_SCREEN, "メニュー"}, {0, nullptr},
     {ID_DM_ADD, "DM追加"}, {ID_DM_MODIFY, "DM修正"}, {ID_DM_DELETE, "DM削除"}, {ID_DM_COPY, "DMコピー"},
     {0, nullptr},
     {ID_DM_TARGET_ADD, "顧客追加"}, {ID_DM_TARGET_DELETE, "顧客削除"}, {0, nullptr},
     {ID_FILE_PRINT, "印刷"}, {ID_MAIL_SEND, "メール"}, {0, nullptr},
     {ID_HELP_CONTENTS, "ヘルプ"}},
};

const char* const kToolBarNames[3] = {"顧客ツールバー", "履歴ツールバー", "DMツールバー"};

// The menu text without the trailing "..." and the "(&X)" mnemonic.
QString PlainCommandText(int id) {
    QString t = QString::fromUtf8(CommandMenuText(id).data(), static_cast<int>(CommandMenuText(id).size()));
    const int amp = t.indexOf("(&");
    if (amp >= 0) t.truncate(amp);
    while (t.endsWith('.')) t.chop(1);
    return t;
}

int MenuOfScreen(int screen) {
    switch (screen) {
    case SCREEN_KOKYAKU_LIST:
    case SCREEN_KOKYAKU_RIREKI:
    case SCREEN_KOKYAKU_DETAIL: return MENU_KOKYAKU;
    case SCREEN_RIREKI_LIST: return MENU_RIREKI;
    case SCREEN_DM: return MENU_DM;
    default: return 0;
    }
}

bool IsCustomerScreen(int n) { return n >= SCREEN_KOKYAKU_LIST && n <= SCREEN_KOKYAKU_DETAIL; }

}  // namespace

CMainFrame::CMainFrame(CMilvaneDoc& doc, CScreenRegistry screens, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_screens(std::move(screens)) {
    setObjectName("MainFrame");
    setWindowTitle("Milvane");
    setWindowIcon(AppIcon());
    setContextMenuPolicy(Qt::PreventContextMenu);  // no toolbar-hiding menu of its own
    setAttribute(Qt::WA_DeleteOnClose, false);

    // 800 x 600, centred in the work area.
    resize(kFrameWidth, kFrameHeight);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.left() + std::max(0, (area.width() - kFrameWidth) / 2),
             area.top() + std::max(0, (area.height() - kFrameHeight) / 2));
    }

    auto* central = new QWidget(this);
    central->setObjectName("ScreenHost");
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    CreateToolBars();
    qApp->installEventFilter(this);
    m_closeHandler = [] {
        if (CMilvaneApp* app = CMilvaneApp::Current()) app->OnMainWindowClose();
    };
}

CMainFrame::~CMainFrame() {
    delete m_findDlg;
}

void CMainFrame::CreateToolBars() {
    const CommandSink run = Deferred(this, [this](int id) { OnCommand(id); });
    for (int i = 0; i < 3; ++i) {
        auto* bar = new QToolBar(QString::fromUtf8(kToolBarNames[i]), this);
        bar->setObjectName(QStringLiteral("ToolBar%1").arg(i));
        bar->setAccessibleName(QString::fromUtf8(kToolBarNames[i]));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setIconSize(QSize(24, 24));
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        for (const ToolDef& t : kToolDefs[i]) {
            if (t.id == 0) {
                bar->addSeparator();
                continue;
            }
            QAction* a = bar->addAction(CommandIcon(t.id), QString::fromUtf8(t.label));
            QString tip = PlainCommandText(t.id);
            if (i == TOOLBAR_RIREKI && t.id == ID_FIND) tip = "履歴内を検索";
            if (i == TOOLBAR_RIREKI && t.id == ID_RIREKI_MODIFY) tip = "履歴を参照";
            a->setToolTip(tip);
            a->setData(t.id);
            a->setObjectName(QStringLiteral("tool_%1").arg(t.id));
            connect(a, &QAction::triggered, this, [run, id = t.id] { run(id); });
        }
        // The button that shows the buttons a narrow window cannot hold.
        if (auto* more = bar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
            more->setAccessibleName(QStringLiteral("ツールバーの続き"));
        addToolBar(Qt::TopToolBarArea, bar);
        bar->hide();
        m_toolBars[i] = bar;
    }
}

QToolBar* CMainFrame::ScreenToolBar(int screen) const {
    if (IsCustomerScreen(screen)) return m_toolBars[TOOLBAR_KOKYAKU];
    if (screen == SCREEN_RIREKI_LIST) return m_toolBars[TOOLBAR_RIREKI];
    if (screen == SCREEN_DM) return m_toolBars[TOOLBAR_DM];
    return nullptr;
}

bool CMainFrame::CreateFirstScreen() {
    const ScreenFactory* factory = m_screens.Find(SCREEN_MENU);
    if (!factory) return false;
    CScreenView* view = (*factory)(m_doc, *this, SCREEN_MENU);
    if (!view) return false;
    m_currentScreen = SCREEN_MENU;
    ReplaceMenuBar(SCREEN_MENU);
    centralWidget()->layout()->addWidget(view);
    m_view = view;
    {
        WaitScope wait;
        view->OnInitialUpdate();
    }
    view->show();
    UpdateCommandUI();
    return true;
}

void CMainFrame::ReplaceMenuBar(int screen) {
    // The previous bar goes in any case; the menu screen has none.
    QMenuBar* bar = nullptr;
    if (const int menu = MenuOfScreen(screen)) {
        bar = BuildMenuBar(
            menu, this, Deferred(this, [this](int id) { OnCommand(id); }), [this](int id) { return QueryCommand(id); });
        bar->setObjectName(QStringLiteral("MenuBar%1").arg(menu));
    }
    setMenuBar(bar);
}

void CMainFrame::SwitchView(int n) {
    if (n == m_currentScreen) return;
    const ScreenFactory* factory = m_screens.Find(n);
    if (!factory) return;

    CScreenView* old = m_view;
    const int oldScreen = m_currentScreen;
    if (IsCustomerScreen(oldScreen)) m_doc.CustomerScreenMode = oldScreen;
    if (old) old->hide();
    if (IsCustomerScreen(n)) m_doc.CustomerScreenMode = n;
    ReplaceMenuBar(n);

    CScreenView* view = (*factory)(m_doc, *this, n);
    if (!view) {
        ReplaceMenuBar(oldScreen);
        if (old) old->show();
    } else {
        m_currentScreen = n;
        // The list screens give the window its sizing border back.
        if (n != SCREEN_MENU) SetResizable(true);
        centralWidget()->layout()->addWidget(view);
        {
            WaitScope wait;
            m_view = view;
            view->OnInitialUpdate();
            view->show();
            if (old) {
                centralWidget()->layout()->removeWidget(old);
                // The old screen may be the caller (a button of it switched);
                // it goes once control returns to the event loop.
                old->setParent(nullptr);
                old->deleteLater();
            }
        }
        view->setFocus();
    }
    if (m_findDlg) m_findDlg->reject();
    UpdateCommandUI();
}

void CMainFrame::ShowScreenToolBars(bool show) {
    QToolBar* current = ScreenToolBar(m_currentScreen);
    for (QToolBar* bar : m_toolBars) bar->setVisible(bar == current && show);
    if (current && show) UpdateCommandUI();
}

void CMainFrame::ToggleToolBar() {
    QToolBar* bar = ScreenToolBar(m_currentScreen);
    if (!bar) return;
    bar->setVisible(bar->isHidden());
    UpdateCommandUI();
}

void CMainFrame::OnCommand(int id) {
    if (!QueryCommand(id).enabled) return;
    QPointer<CScreenView> view = m_view;
    if (view && view->OnCommand(id)) {
        UpdateCommandUI();
        return;
    }
    switch (id) {
    case ID_VIEW_MENU_SCREEN: SwitchView(SCREEN_MENU); break;
    case ID_VIEW_TOOLBAR: ToggleToolBar(); break;
    case ID_APP_EXIT: close(); break;
    case ID_APP_ABOUT: ShowAboutBox(); break;
    case ID_HELP_CONTENTS: ShowHelp(); break;
    default: break;
    }
    UpdateCommandUI();
}

CCommandState CMainFrame::QueryCommand(int id) const {
    CCommandState state;
    if (m_view && m_view->UpdateCommand(id, state)) return state;
    state = CCommandState{};
    switch (id) {
    case ID_VIEW_MENU_SCREEN: state.enabled = m_currentScreen != SCREEN_MENU; break;
    case ID_VIEW_TOOLBAR:
        if (QToolBar* bar = ScreenToolBar(m_currentScreen)) {
            state.enabled = true;
            state.checkable = true;
            state.checked = !bar->isHidden();
        }
        break;
    case ID_APP_EXIT:
    case ID_APP_ABOUT:
    case ID_HELP_CONTENTS: state.enabled = true; break;
    default: break;  // nobody handles it: disabled
    }
    return state;
}

void CMainFrame::UpdateCommandUI() {
    for (QToolBar* bar : m_toolBars) {
        if (bar->isHidden()) continue;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator() || !a->data().isValid()) continue;
            const CCommandState s = QueryCommand(a->data().toInt());
            a->setEnabled(s.enabled);
            a->setCheckable(s.checkable);
            if (s.checkable) a->setChecked(s.checked);
        }
    }
}

// ---------------------------------------------------------------- find box

CFindDlg* CMainFrame::OpenFindDialog() {
    if (!m_findDlg) {
        m_findDlg = new CFindDlg(this);
        connect(m_findDlg, &CFindDlg::findNext, this, [this](const CFindRequest& r) { OnFindRequest(r); });
        connect(m_findDlg, &QDialog::finished, this, [this] { OnFindDialogClosed(); });
    }
    ShowInFront(m_findDlg);
    m_findDlg->TextEdit()->setFocus();
    return m_findDlg;
}

int CMainFrame::OnFindRequest(const CFindRequest& request) {
    if (!m_findDlg) return 0;
    if (m_currentScreen >= SCREEN_KOKYAKU_LIST && m_currentScreen <= SCREEN_RIREKI_LIST && m_view)
        return m_view->OnFindRequest(request);
    return 0;
}

void CMainFrame::OnFindDialogClosed() {
    if (!m_findDlg) return;
    CFindDlg* dlg = m_findDlg;
    m_findDlg = nullptr;
    dlg->hide();
    dlg->deleteLater();
    if (m_view) m_view->OnFindClosed();
}

long CMainFrame::SendFrameMessage(int message, long param) {
    if (message == WM_MLV_FORMLIST_CHANGED && m_currentScreen != SCREEN_MENU) return 0;
    return m_view ? m_view->OnFrameMessage(message, param) : 0;
}

// ---------------------------------------------------------------- window

void CMainFrame::SetResizable(bool resizable) {
    m_resizable = resizable;
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void CMainFrame::FitClientTo(const QSize& client) {
    int extra = 0;
    if (QWidget* bar = menuWidget(); bar && !bar->isHidden()) extra += bar->sizeHint().height();
    for (QToolBar* t : m_toolBars)
        if (!t->isHidden() && toolBarArea(t) == Qt::TopToolBarArea) extra += t->sizeHint().height();
    const QSize target(client.width(), client.height() + extra);
    if (!m_resizable) {
        setFixedSize(target);
    } else {
        resize(target);
    }
}

void CMainFrame::ShowAboutBox() {
    CAboutDlg dlg(this);
    dlg.exec();
}

void CMainFrame::ShowHelp() {
    std::string file;
    if (CMilvaneApp* app = CMilvaneApp::Current()) file = app->HelpFile();
    if (file.empty()) file = JoinPath(m_doc.InstallDir(), "exe/Kokyakuhelp.html");
    if (!FileExists(file) || !QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file))))
        ShowMessage("ヘルプを表示できません。\n" + file, MsgIcon::Exclamation);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        if (m_findDlg) m_findDlg->reject();
        if (m_closeHandler) m_closeHandler();
        event->accept();
        emit closed();
        return;
    }
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
        // Once the input has been handled, the toolbar follows the screen's state.
        if (!m_updatePending) {
            m_updatePending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_updatePending = false;
                    UpdateCommandUI();
                },
                Qt::QueuedConnection);
        }
        break;
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        UpdateCommandUI();
        update();
    }
}
