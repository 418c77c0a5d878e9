#include "app/ui/MilvaneView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <memory>

#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "app/PassCheck.h"
#include "app/ui/Artwork.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MenuDefs.h"
#include "app/ui/PasswordDlg.h"
#include "app/ui/RirekiModeDlg.h"
#include "app/ui/ScreenRegistry.h"
#include "common/Folders.h"

namespace {

struct ButtonDef {
    const char* caption;
    QPoint pos;
    MenuItemStyle style;
    int iconCommand;  // 0: no image
};

const ButtonDef kButtons[CMilvaneView::BUTTON_COUNT] = {
    {"顧客を追加", {43, 105}, MenuItemStyle::Work, ID_KOKYAKU_ADD},
    {"履歴を追加", {43, 150}, MenuItemStyle::Work, ID_RIREKI_ADD},
    {"DM送付管理", {43, 195}, MenuItemStyle::Work, ID_VIEW_DM_SCREEN},
    {"顧客一覧", {281, 105}, MenuItemStyle::Work, ID_VIEW_CARD},
    {"履歴一覧", {281, 150}, MenuItemStyle::Work, ID_RIREKI_MODIFY},
    {"ソルナ分析", {517, 105}, MenuItemStyle::Work, ID_ANALYSIS},
    {"抽出", {517, 150}, MenuItemStyle::Work, ID_EXTRACT},
    {"設定▼", {295, 16}, MenuItemStyle::Header, 0},
    {"ツール▼", {404, 16}, MenuItemStyle::Header, 0},
    {"ヘルプ▼", {514, 16}, MenuItemStyle::Header, 0},
    {"終了", {623, 16}, MenuItemStyle::Header, 0},
    {"開く", {622, 490}, MenuItemStyle::Open, ID_PRINT},
};

struct TabDef {
    const char* caption;  // as drawn
    const char* name;     // as read
    int x;
};

const TabDef kTabs[CMilvaneView::kTabCount] = {
    {"顧客", "顧客", 218},
    {"宛名・\nFAX", "宛名・FAX", 285},
    {"伝票", "伝票", 353},
    {"名刺・\nオフィス", "名刺・オフィス", 422},
    {"オリジナル\nフォーム", "オリジナルフォーム", 490},
};
constexpr int kTabTop = 284;

// Accessibility of a painted button or tab: its caption as name, a press
// action, and the pressed or selected state.
class CMenuItemAccessible : public QAccessibleWidget {
public:
    explicit CMenuItemAccessible(CMenuItemWidget* w)
        : QAccessibleWidget(w, w->Style() == MenuItemStyle::Tab ? QAccessible::PageTab : QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Item()->accessibleName().isEmpty() ? Item()->text() : Item()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Item()->Style() == MenuItemStyle::Tab) {
            s.selectable = true;
            s.selected = Item()->State() == 2;
        } else {
            s.pressed = Item()->ShownState() == 2;
            if (Item()->Style() == MenuItemStyle::Header && Item()->text().endsWith(QChar(0x25BC))) s.hasPopup = true;
        }
        s.hotTracked = Item()->State() == 1;
        return s;
    }
    int childCount() const override { return Item()->Popup() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && Item()->Popup() ? QAccessible::queryAccessibleInterface(Item()->Popup()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && Item()->Popup() && child->object() == Item()->Popup() ? 0 : -1;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction()) {
            if (!Item()->isEnabled()) return;
            if (Item()->Style() == MenuItemStyle::Tab) {
                Item()->click();
            } else {
                // A button may open a modal dialog: run it after the caller has its reply.
                QTimer::singleShot(0, Item(), [item = Item()] {
                    if (item->isEnabled()) item->click();
                });
            }
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    CMenuItemWidget* Item() const { return static_cast<CMenuItemWidget*>(widget()); }
};

QAccessibleInterface* MenuItemAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CMenuItemWidget") && object && object->isWidgetType())
        return new CMenuItemAccessible(static_cast<CMenuItemWidget*>(object));
    return nullptr;
}

void InstallAccessibleFactory() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(MenuItemAccessibleFactory);
        installed = true;
    }
}

bool InPopupMenu(int id) {
    const auto& def = MenuDefinition(MENU_POPUP);
    for (int i = 0; i < 3 && i < static_cast<int>(def.size()); ++i) {
        std::vector<const MenuItemDef*> stack;
        for (const auto& item : def[i].children) stack.push_back(&item);
        while (!stack.empty()) {
            const MenuItemDef* item = stack.back();
            stack.pop_back();
            if (item->kind == MenuItemDef::Command && item->id == id) return true;
            for (const auto& c : item->children) stack.push_back(&c);
        }
    }
    return false;
}

}  // namespace

// ---------------------------------------------------------------- item widget

CMenuItemWidget::CMenuItemWidget(MenuItemStyle style, const QString& caption, const QIcon& icon, QWidget* parent)
    : QAbstractButton(parent), m_style(style) {
    setText(QString(caption).replace('\n', QString()));
    setAccessibleName(text());
    setProperty("caption", caption);
    setIcon(icon);
    setFocusPolicy(Qt::TabFocus);
    // The screen tracks the mouse over its picture; the item only paints.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_Hover, false);
}

void CMenuItemWidget::SetState(int state) {
    if (state == m_state) return;
    m_state = state;
    update();
    QAccessibleStateChangeEvent ev(this, [&] {
        QAccessible::State s;
        s.pressed = true;
        s.selected = true;
        s.hotTracked = true;
        return s;
    }());
    if (QAccessible::isActive()) QAccessible::updateAccessibility(&ev);
}

int CMenuItemWidget::ShownState() const { return isDown() ? 2 : m_state; }

void CMenuItemWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    MenuItemLook look;
    look.state = ShownState();
    look.enabled = isEnabled();
    // The focus mark appears once the keyboard moves the focus, as on push buttons.
    look.focused = hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
    PaintMenuItem(p, rect(), m_style, property("caption").toString(), icon(), look);
}

void CMenuItemWidget::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void CMenuItemWidget::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void CMenuItemWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    update();
}

// ---------------------------------------------------------------- view

QRect CMilvaneView::ButtonRect(int index) {
    if (index < 0 || index >= BUTTON_COUNT) return {};
    return {kButtons[index].pos, MenuItemSize(kButtons[index].style)};
}

QRect CMilvaneView::TabRect(int index) {
    if (index < 0 || index >= kTabCount) return {};
    return {QPoint(kTabs[index].x, kTabTop), MenuItemSize(MenuItemStyle::Tab, index)};
}

CMilvaneView::CMilvaneView(CMilvaneDoc& doc, CMainFrame& frame, std::shared_ptr<CMenuScreenHooks> hooks,
                           QWidget* parent)
    : CScreenView(doc, frame, parent), m_hooks(hooks ? std::move(hooks) : std::make_shared<CMenuScreenHooks>()) {
    InstallAccessibleFactory();
    setObjectName("MenuScreen");
    setAccessibleName("メニュー画面");
    setFixedSize(kMenuWidth, kMenuHeight);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    // Focus order: title band, daily work, gallery tabs, gallery, open.
    const int order[] = {BTN_SETTINGS, BTN_TOOLS, BTN_HELP, BTN_EXIT, BTN_ADD_KOKYAKU, BTN_ADD_RIREKI, BTN_DM,
                         BTN_KOKYAKU_LIST, BTN_RIREKI_LIST, BTN_ANALYSIS, BTN_EXTRACT};
    for (int i : order) {
        const ButtonDef& d = kButtons[i];
        auto* b = new CMenuItemWidget(d.style, QString::fromUtf8(d.caption),
                                      d.iconCommand ? CommandIcon(d.iconCommand) : QIcon(), this);
        b->setObjectName(QStringLiteral("menuButton%1").arg(i));
        b->setGeometry(ButtonRect(i));
        connect(b, &QAbstractButton::clicked, this, [this, i] { RunButton(i); });
        m_buttons[i] = b;
    }
    for (int i = 0; i < kTabCount; ++i) {
        auto* t = new CMenuItemWidget(MenuItemStyle::Tab, QString::fromUtf8(kTabs[i].caption), QIcon(), this);
        t->setAccessibleName(QString::fromUtf8(kTabs[i].name));
        t->setObjectName(QStringLiteral("galleryTab%1").arg(i));
        t->setGeometry(TabRect(i));
        connect(t, &QAbstractButton::clicked, this, [this, i] { SelectTab(i); });
        m_tabs[i] = t;
    }

    m_gallery = new QListWidget(this);
    m_gallery->setObjectName("gallery1007");
    m_gallery->setAccessibleName("フォーム一覧");
    m_gallery->setGeometry(GalleryRect());
    m_gallery->setViewMode(QListView::IconMode);
    m_gallery->setMovement(QListView::Static);
    m_gallery->setResizeMode(QListView::Adjust);
    m_gallery->setFrameShape(QFrame::NoFrame);
    m_gallery->setStyleSheet("QListWidget { background: #FFFFFF; border: 1px solid #D3DDEA; }");

    {
        const ButtonDef& d = kButtons[BTN_OPEN];
        auto* b = new CMenuItemWidget(d.style, QString::fromUtf8(d.caption), CommandIcon(d.iconCommand), this);
        b->setObjectName(QStringLiteral("menuButton%1").arg(int(BTN_OPEN)));
        b->setGeometry(ButtonRect(BTN_OPEN));
        connect(b, &QAbstractButton::clicked, this, [this] { RunButton(BTN_OPEN); });
        m_buttons[BTN_OPEN] = b;
    }
    // The header pop-ups live with their buttons so that accessibility can reach their commands.
    for (int n = 0; n < 3; ++n) {
        CMenuItemWidget* header = m_buttons[BTN_SETTINGS + n];
        if (QMenu* menu = BuildPopup(n)) {
            menu->setParent(header, menu->windowFlags());
            header->SetPopup(menu);
        }
    }
    UpdateButtons();
}

CMilvaneView::~CMilvaneView() = default;

int CMilvaneView::SelectedTab() const { return std::clamp(Document().SelectedFormTab, 0, kTabCount - 1); }

void CMilvaneView::OnInitialUpdate() {
    CMainFrame& frame = Frame();
    CMilvaneDoc& doc = Document();
    CMenuScreenHooks& hooks = Hooks();

    frame.setWindowTitle("Milvane－メニュー");
    if (frame.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        frame.setWindowState(frame.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    frame.SetResizable(true);
    frame.ShowScreenToolBars(false);

    // First run after installation: the own company's details come first.
    if (FileExists(JoinPath(doc.InstallDir(), "Data/MyData/FTtemp.dat"))) {
        auto it = hooks.commands.find(ID_OWN_COMPANY);
        if (it != hooks.commands.end()) it->second(*this);
    }
    if (hooks.loadFormData && !hooks.loadFormData(*this)) ShowMessage("フォーム情報を取得できません");

    frame.FitClientTo(size());
    frame.SetResizable(false);

    m_background = PaintMenuBackground(devicePixelRatioF());

    if (doc.SelectedFormId == 0) doc.ReadEndInfo();
    if (doc.SelectedFormTab < 0 || doc.SelectedFormTab >= kTabCount) doc.SelectedFormTab = 0;
    for (int i = 0; i < kTabCount; ++i) m_tabs[i]->SetState(i == doc.SelectedFormTab ? 2 : 0);
    if (hooks.fillGallery) hooks.fillGallery(*this);

    m_inputType = Ports::Profile().GetInt("Settings", "CardType", 0);
    UpdateButtons();
    update();
}

void CMilvaneView::UpdateButtons() {
    const CMenuScreenHooks& h = Hooks();
    const CScreenRegistry& screens = Frame().Screens();
    const bool enabled[BUTTON_COUNT] = {
        bool(h.addCustomer),
        screens.IsRegistered(SCREEN_KOKYAKU_RIREKI),
        screens.IsRegistered(SCREEN_DM),
        screens.IsRegistered(SCREEN_KOKYAKU_LIST),
        screens.IsRegistered(SCREEN_RIREKI_LIST) && (h.extractHistory || h.loadAllHistory),
        bool(h.analysis),
        bool(h.extraction),
        true,
        true,
        true,
        true,
        bool(h.openForm),
    };
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        m_buttons[i]->setEnabled(enabled[i]);
        if (!enabled[i]) {
            m_buttons[i]->SetState(0);
            if (m_hoverButton == i) m_hoverButton = -1;
            if (m_pressedButton == i) m_pressedButton = -1;
        }
    }
    // Pop-up states as accessibility reads them without opening the menus.
    for (int n = 0; n < 3; ++n)
        if (QMenu* menu = m_buttons[BTN_SETTINGS + n]->Popup()) RefreshPopup(menu);
}

void CMilvaneView::RefreshPopup(QMenu* menu) {
    CMainFrame* frame = &Frame();
    UpdateMenuActions(menu, [frame](int id) { return frame->QueryCommand(id); });
}

// ---------------------------------------------------------------- painting and mouse

void CMilvaneView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (m_background.isNull() || !qFuzzyCompare(m_background.devicePixelRatio(), devicePixelRatioF()))
        m_background = PaintMenuBackground(devicePixelRatioF());
    p.drawPixmap(0, 0, m_background);
}

int CMilvaneView::ButtonAt(const QPoint& pos) const {
    for (int i = 0; i < BUTTON_COUNT; ++i)
        if (m_buttons[i]->isEnabled() && ButtonRect(i).contains(pos)) return i;
    return -1;
}

int CMilvaneView::TabAt(const QPoint& pos) const {
    for (int i = 0; i < kTabCount; ++i)
        if (m_tabs[i]->isEnabled() && TabRect(i).contains(pos)) return i;
    return -1;
}

void CMilvaneView::SetButtonState(int index, int state) {
    if (index >= 0 && index < BUTTON_COUNT) m_buttons[index]->SetState(state);
}

void CMilvaneView::SetTabState(int index, int state) {
    if (index >= 0 && index < kTabCount) m_tabs[index]->SetState(state);
}

void CMilvaneView::UpdateCursor() {
    if (m_hot)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CMilvaneView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int selected = SelectedTab();
    m_hot = false;

    const int tab = TabAt(pos);
    if (tab != m_hoverTab && m_hoverTab >= 0 && m_hoverTab != selected) SetTabState(m_hoverTab, 0);
    if (tab >= 0) {
        if (tab != selected) SetTabState(tab, 1);
        m_hot = true;
    }
    m_hoverTab = tab;

    const int button = ButtonAt(pos);
    if (button != m_hoverButton && m_hoverButton >= 0) SetButtonState(m_hoverButton, 0);
    if (button >= 0) {
        SetButtonState(button, button == m_pressedButton ? 2 : 1);
        m_hot = true;
    }
    m_hoverButton = button;
    UpdateCursor();
}

void CMilvaneView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();  // the mouse is grabbed until release
    const int tab = TabAt(pos);
    if (tab >= 0 && tab != SelectedTab()) SelectTab(tab);
    const int button = ButtonAt(pos);
    if (button >= 0) {
        m_pressedButton = button;
        m_hoverButton = button;
        SetButtonState(button, 2);
    }
}

void CMilvaneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int pressed = m_pressedButton;
    m_pressedButton = -1;
    if (pressed < 0) return;
    if (ButtonAt(event->position().toPoint()) == pressed) {
        SetButtonState(pressed, 0);
        m_buttons[pressed]->click();  // runs the action
    } else {
        SetButtonState(pressed, 0);
    }
}

void CMilvaneView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && FormNameRect().contains(event->position().toPoint())) {
        if (Hooks().openForm) Hooks().openForm(*this);
        return;
    }
    // A double-click on a button counts as a second press.
    mousePressEvent(event);
}

void CMilvaneView::leaveEvent(QEvent* event) {
    CScreenView::leaveEvent(event);
    if (m_pressedButton >= 0) return;  // the press still owns the mouse
    if (m_hoverButton >= 0) SetButtonState(m_hoverButton, 0);
    if (m_hoverTab >= 0 && m_hoverTab != SelectedTab()) SetTabState(m_hoverTab, 0);
    m_hoverButton = m_hoverTab = -1;
    m_hot = false;
    UpdateCursor();
}

void CMilvaneView::SelectTab(int index) {
    if (index < 0 || index >= kTabCount) return;
    const int old = SelectedTab();
    if (index != old) SetTabState(old, 0);
    SetTabState(index, 2);
    Document().SelectedFormTab = index;
    if (Hooks().fillGallery) Hooks().fillGallery(*this);
}

// ---------------------------------------------------------------- buttons

void CMilvaneView::RunButton(int index) {
    if (index < 0 || index >= BUTTON_COUNT || !m_buttons[index]->isEnabled()) return;
    emit buttonActivated(index);
    CMainFrame& frame = Frame();
    switch (index) {
    case BTN_ADD_KOKYAKU: AddCustomer(); break;
    case BTN_ADD_RIREKI: frame.SwitchView(SCREEN_KOKYAKU_RIREKI); break;
    case BTN_DM: frame.SwitchView(SCREEN_DM); break;
    case BTN_KOKYAKU_LIST: frame.SwitchView(SCREEN_KOKYAKU_LIST); break;
    case BTN_RIREKI_LIST: ShowHistoryList(); break;
    case BTN_ANALYSIS: RunAnalysis(); break;
    case BTN_EXTRACT: RunExtraction(); break;
    case BTN_SETTINGS: ShowPopup(0); break;
    case BTN_TOOLS: ShowPopup(1); break;
    case BTN_HELP: ShowPopup(2); break;
    case BTN_EXIT: QMetaObject::invokeMethod(&frame, &QWidget::close, Qt::QueuedConnection); break;
    case BTN_OPEN:
        if (Hooks().openForm) Hooks().openForm(*this);
        break;
    default: break;
    }
}

void CMilvaneView::AddCustomer() {
    if (Document().IsPastData()) {
        ShowMessage("データベースは読取専用です。\n顧客を追加することはできません。\n");
        return;
    }
    if (m_inputType < 0 || m_inputType > 2) return;
    if (Hooks().addCustomer) Hooks().addCustomer(*this, m_inputType);
}

void CMilvaneView::ShowHistoryList() {
    CMenuScreenHooks& h = Hooks();
    CRirekiModeDlg dlg(bool(h.extractHistory), this);
    if (!h.loadAllHistory) dlg.AllButton()->setEnabled(false);
    if (dlg.exec() != QDialog::Accepted) return;
    if (dlg.Selected() == CRirekiModeDlg::ShowAll) {
        if (!h.loadAllHistory) return;
        int result = 0;
        {
            WaitScope wait;
            Document().RirekiList.clear();
            result = h.loadAllHistory(Document());
        }
        if (result != 1) {
            ShowMessage("履歴情報を取得できませんでした");
            return;
        }
        Frame().SwitchView(SCREEN_RIREKI_LIST);
    } else if (h.extractHistory && h.extractHistory(*this)) {
        Frame().SwitchView(SCREEN_RIREKI_LIST);
    }
}

void CMilvaneView::RunAnalysis() {
    if (!Hooks().analysis) return;
    const int result = Hooks().analysis(*this);
    if (result == 4)
        Frame().SwitchView(SCREEN_DM);
    else if ((result >= 1 && result <= 3) || (result >= 5 && result <= 7))
        Frame().SwitchView(SCREEN_KOKYAKU_LIST);
}

void CMilvaneView::RunExtraction() {
    if (!Hooks().extraction) return;
    const int result = Hooks().extraction(*this);
    if (result == 1)
        Frame().SwitchView(SCREEN_KOKYAKU_LIST);
    else if (result == 2)
        Frame().SwitchView(SCREEN_RIREKI_LIST);
}

// ---------------------------------------------------------------- pop-ups and commands

QMenu* CMilvaneView::BuildPopup(int n) {
    CMainFrame* frame = &Frame();
    const CommandStateQuery query = [frame](int id) { return frame->QueryCommand(id); };
    QMenu* menu = BuildPopupMenu(
        MENU_POPUP, n, this, Deferred(frame, [frame](int id) { frame->OnCommand(id); }), query);
    if (menu) {
        menu->setObjectName(QStringLiteral("menuPopup%1").arg(n));
        UpdateMenuActions(menu, query);
    }
    return menu;
}

void CMilvaneView::ShowPopup(int n) {
    QMenu* menu = m_buttons[BTN_SETTINGS + n]->Popup();
    if (!menu) return;
    RefreshPopup(menu);
    const QRect r = ButtonRect(BTN_SETTINGS + n);
    menu->exec(mapToGlobal(r.bottomLeft() + QPoint(0, 1)));
}

bool CMilvaneView::IsCommandAvailable(int id) const { return Hooks().commands.count(id) != 0; }

bool CMilvaneView::UpdateCommand(int id, CCommandState& state) {
    const bool past = Document().IsPastData();
    CMenuScreenHooks& h = Hooks();
    const auto userForms = [&] { return h.userFormCount ? h.userFormCount(Document()) : 0; };
    state = CCommandState{};
    switch (id) {
    case ID_CARDTYPE_NORMAL:
    case ID_CARDTYPE_PERSONAL:
    case ID_CARDTYPE_CORPORATE:
        state.enabled = true;
        state.checkable = true;
        state.checked = m_inputType == id - ID_CARDTYPE_NORMAL;
        return true;
    case ID_PASSWORD:
    case ID_PHONE_BOOK:
    case ID_AREA_MARKETING:
    case ID_PHONE_BACKUP:
    case ID_PHONE_RESTORE:
    case ID_HELP_CONTENTS:
    case ID_APP_ABOUT: state.enabled = true; return true;
    case ID_DB_UPDATE: state.enabled = !past; return true;
    case ID_CURRENT_DATA: state.enabled = past && IsCommandAvailable(id); return true;
    case ID_DATA_BACKUP:
    case ID_DATA_RESTORE:
    case ID_RIREKI_BACKUP_DELETE:
    case ID_DB_OPTIMIZE: state.enabled = !past && IsCommandAvailable(id); return true;
    case ID_PRE_EXTRACT_CLEAR:
        state.enabled = IsCommandAvailable(id) && h.hasPreExtraction && h.hasPreExtraction(Document());
        return true;
    case ID_FORM_NAMES:
    case ID_FORM_BACKUP: state.enabled = IsCommandAvailable(id) && userForms() > 0; return true;
    default:
        if (!InPopupMenu(id)) return false;
        state.enabled = IsCommandAvailable(id);
        return true;
    }
}

bool CMilvaneView::OnCommand(int id) {
    switch (id) {
    case ID_CARDTYPE_NORMAL:
    case ID_CARDTYPE_PERSONAL:
    case ID_CARDTYPE_CORPORATE: SetInputType(id - ID_CARDTYPE_NORMAL); return true;
    case ID_PASSWORD: {
        CQtPasswordPort port(window());
        CMLVPassCheck check(Document().InstallDir(), port);
        check.SetPassWord();
        update();
        return true;
    }
    case ID_PHONE_BOOK: StartSiblingProgram("exe/QSTel.exe", "", "電話帳を起動できません", MsgIcon::Exclamation); return true;
    case ID_AREA_MARKETING:
        StartSiblingProgram("exe/Zonemap.exe", "", "エリアマーケティングツールを起動できません", MsgIcon::Exclamation);
        return true;
    case ID_PHONE_BACKUP:
        StartSiblingProgram("exe/QSTel.exe", " /B", "バックアップ処理ができません", MsgIcon::Exclamation);
        return true;
    case ID_PHONE_RESTORE:
        StartSiblingProgram("exe/QSTel.exe", " /R", "復元処理ができません", MsgIcon::Exclamation);
        return true;
    case ID_DB_UPDATE: UpdateDatabase(); return true;
    case ID_HELP_CONTENTS: Frame().ShowHelp(); return true;
    case ID_APP_ABOUT: Frame().ShowAboutBox(); return true;
    default: break;
    }
    auto it = Hooks().commands.find(id);
    if (it == Hooks().commands.end() || !InPopupMenu(id)) return false;
    it->second(*this);
    UpdateButtons();
    return true;
}

long CMilvaneView::OnFrameMessage(int message, long) {
    if (message == WM_MLV_FORMLIST_CHANGED && Hooks().formListChanged) Hooks().formListChanged(*this);
    return 0;
}

void CMilvaneView::SetInputType(int type) {
    m_inputType = type;
    Ports::Profile().WriteInt("Settings", "CardType", type);
}

void CMilvaneView::UpdateDatabase() {
    if (Document().IsPastData()) {
        ShowMessage("読取専用です。更新できません。");
        return;
    }
    int result = 0;
    {
        WaitScope wait;
        result = Document().Database().SaveMLV(false);
    }
    if (result == 1)
        ShowMessage("更新しました", MsgIcon::Information);
    else
        ShowMessage("更新できませんでした");
}

void CMilvaneView::StartSiblingProgram(const char* relativePath, const char* argument, const char* failure,
                                       MsgIcon icon) {
    if (!StartSibling(Document().InstallDir(), relativePath, argument)) ShowMessage(failure, icon);
}
