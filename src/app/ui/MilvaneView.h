// The menu screen: a fixed 750 x 530 picture with twelve buttons, the three
// pop-up menus (settings, tools, help), the exit button and the form gallery
// with its five tabs. Each button and tab is a child widget that paints
// itself, takes the keyboard focus and is seen by accessibility tools with
// its caption as name; the mouse is tracked by the screen itself.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/ui/MenuArt.h"
#include "app/ui/ScreenView.h"
#include "common/Ports.h"

class QListWidget;
class QMenu;
class CMilvaneView;

// One painted button or gallery tab of the menu screen.
class CMenuItemWidget : public QAbstractButton {
    Q_OBJECT
public:
    CMenuItemWidget(MenuItemStyle style, const QString& caption, const QIcon& icon, QWidget* parent);

    MenuItemStyle Style() const { return m_style; }
    // 0 normal, 1 hover, 2 pressed or selected.
    int State() const { return m_state; }
    void SetState(int state);
    // The state as drawn: a key held down shows the pressed look.
    int ShownState() const;

    QSize sizeHint() const override { return size(); }

    // The pop-up menu a header button opens; shown to accessibility as its child.
    void SetPopup(QMenu* menu) { m_popup = menu; }
    QMenu* Popup() const { return m_popup; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    MenuItemStyle m_style;
    int m_state = 0;
    QMenu* m_popup = nullptr;  // a child of this button
};

// What the other features provide to the menu screen. The composition root
// fills one and hands it to the screen; a button or command whose hook is
// empty is disabled.
struct CMenuScreenHooks {
    // Customer entry dialog for the input type 0 normal, 1 individual, 2 corporate.
    std::function<void(CMilvaneView&, int inputType)> addCustomer;
    // Analysis sheet; its result: 0 cancelled, 1..7 the analysis run.
    std::function<int(CMilvaneView&)> analysis;
    // Extraction dialog in its menu-screen mode: 0 cancelled, 1 customer result, 2 history result.
    std::function<int(CMilvaneView&)> extraction;
    // Extraction dialog for the history list; true on OK (the document holds the result).
    std::function<bool(CMilvaneView&)> extractHistory;
    // Reads all history into the document's history list: 1 done, otherwise failed.
    std::function<int(CMilvaneDoc&)> loadAllHistory;
    // Form gallery: reads the form data (false: "フォーム情報を取得できません"),
    // fills the gallery for the selected tab, re-reads the pick-up list, opens
    // the selected form.
    std::function<bool(CMilvaneView&)> loadFormData;
    std::function<void(CMilvaneView&)> fillGallery;
    std::function<void(CMilvaneView&)> formListChanged;
    std::function<void(CMilvaneView&)> openForm;
    // Enabling rules of the pop-ups.
    std::function<bool(CMilvaneDoc&)> hasPreExtraction;
    std::function<int(CMilvaneDoc&)> userFormCount;
    // Commands of menu 193 that other features implement, by command id.
    std::map<int, std::function<void(CMilvaneView&)>> commands;
};

class CMilvaneView : public CScreenView {
    Q_OBJECT
public:
    enum Button {
        BTN_ADD_KOKYAKU, BTN_ADD_RIREKI, BTN_DM, BTN_KOKYAKU_LIST, BTN_RIREKI_LIST, BTN_ANALYSIS, BTN_EXTRACT,
        BTN_SETTINGS, BTN_TOOLS, BTN_HELP, BTN_EXIT, BTN_OPEN, BUTTON_COUNT
    };
    static constexpr int kTabCount = 5;

    // hooks may be shared by the menu screens of a run; null: no features.
    CMilvaneView(CMilvaneDoc& doc, CMainFrame& frame, std::shared_ptr<CMenuScreenHooks> hooks,
                 QWidget* parent = nullptr);
    ~CMilvaneView() override;

    CMenuScreenHooks& Hooks() const { return *m_hooks; }

    void OnInitialUpdate() override;
    bool UpdateCommand(int id, CCommandState& state) override;
    bool OnCommand(int id) override;
    long OnFrameMessage(int message, long param) override;

    // The input type of the customer entry dialog ("Settings"/"CardType").
    int InputType() const { return m_inputType; }

    CMenuItemWidget* ButtonWidget(int index) const { return m_buttons[index]; }
    CMenuItemWidget* TabWidget(int index) const { return m_tabs[index]; }
    QListWidget* Gallery() const { return m_gallery; }
    int HoveredButton() const { return m_hoverButton; }
    int PressedButton() const { return m_pressedButton; }
    bool IsHot() const { return m_hot; }
    int SelectedTab() const;

    // Builds pop-up n (0 settings, 1 tools, 2 help) with the enabling rules
    // applied, as it is shown under its button. The caller owns it.
    QMenu* BuildPopup(int n);
    // Selects a gallery tab as a click on it does.
    void SelectTab(int index);
    // Runs a button's action (the mouse and the keyboard end here).
    void RunButton(int index);
    // Refreshes which buttons can be used.
    void UpdateButtons();

    static QRect ButtonRect(int index);
    static QRect TabRect(int index);
    static QRect GalleryRect() { return {222, 333, 333, 180}; }
    static QRect FormNameRect() { return {30, 338, 162, 63}; }
    static QRect PreviewRect() { return {573, 333, 153, 134}; }

signals:
    // A button's action is about to run (tests and the gallery listen).
    void buttonActivated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int ButtonAt(const QPoint& pos) const;
    int TabAt(const QPoint& pos) const;
    void SetButtonState(int index, int state);
    void SetTabState(int index, int state);
    void UpdateCursor();
    void ShowPopup(int n);
    // Applies the current command states to a header pop-up.
    void RefreshPopup(QMenu* menu);
    bool IsCommandAvailable(int id) const;

    void AddCustomer();
    void ShowHistoryList();
    void RunAnalysis();
    void RunExtraction();
    void SetInputType(int type);
    void UpdateDatabase();
    void StartSiblingProgram(const char* relativePath, const char* argument, const char* failure, MsgIcon icon);

    std::shared_ptr<CMenuScreenHooks> m_hooks;
    std::array<CMenuItemWidget*, BUTTON_COUNT> m_buttons{};
    std::array<CMenuItemWidget*, kTabCount> m_tabs{};
    QListWidget* m_gallery = nullptr;
    QPixmap m_background;
    int m_hoverButton = -1;
    int m_pressedButton = -1;
    int m_hoverTab = -1;
    bool m_hot = false;
    int m_inputType = 0;
};
