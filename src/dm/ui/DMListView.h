// The DM screen (screen 5): DM titles on the left with their "済" check
// images, the targets of the selected title on the right, and the hit-rate
// chart below the titles after a DM hit-rate analysis. Commands go to
// CDMViewLogic; this class only shows its state.
#pragma once

#include <QWidget>
#include <memory>

#include "app/ui/ScreenView.h"
#include "dm/DMViewLogic.h"
#include "dm/MailFlows.h"

class CScreenRegistry;
class CValueLabel;
class QLabel;
class QPushButton;
class QScrollArea;
class QTreeWidget;
class QTreeWidgetItem;

// The pie chart of the DM hit rate.
class CDMHitRateChart : public QWidget {
    Q_OBJECT
public:
    explicit CDMHitRateChart(QWidget* parent = nullptr);
    void SetCounts(int hits, int targets);
    QString Caption() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_hits = 0;
    int m_targets = 0;
};

class CDMListView final : public CScreenView, private IDMScreen {
    Q_OBJECT
public:
    CDMListView(CMilvaneDoc& doc, CMainFrame& frame, QWidget* parent = nullptr);
    ~CDMListView() override;

    void OnInitialUpdate() override;
    bool UpdateCommand(int id, CCommandState& state) override;
    bool OnCommand(int id) override;

    CDMViewLogic& Logic() { return *m_logic; }
    // Opens the subject dialog of a mail; replaceable.
    MailSubjectRunner runMailSubjectDialog;
    QTreeWidget* TitleList() const { return m_titles; }
    QTreeWidget* TargetList() const { return m_targets; }
    CValueLabel* CaptionLabel() const { return m_caption; }
    CDMHitRateChart* Chart() const { return m_chart; }
    QScrollArea* ScrollArea() const { return m_scroll; }
    // Buttons 1012 ... 1018 by their command.
    QPushButton* Button(int command) const;

    // Registers screen 5 with the main window.
    static void Register(CScreenRegistry& screens);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // IDMScreen
    void SetFrameTitle(const std::string& title) override;
    void Redraw() override;
    bool EditTitle(CDMTitleForm& form) override;
    bool ChooseCustomers(std::vector<CDMMngData>& chosen) override;
    bool CanAnalyseHitRate() const override;
    bool AnalyseHitRate() override;

    void FillTitleRow(QTreeWidgetItem* item, const CDMListData& t);
    void TitleSelectionChanged();
    void TargetSelectionChanged();
    void LayoutChildren();

    std::unique_ptr<CDMViewLogic> m_logic;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_page = nullptr;  // the scrolled page holding every control
    QLabel* m_titleLabel = nullptr;
    CValueLabel* m_caption = nullptr;
    QTreeWidget* m_titles = nullptr;
    QTreeWidget* m_targets = nullptr;
    CDMHitRateChart* m_chart = nullptr;
    std::vector<std::pair<int, QPushButton*>> m_buttons;
    bool m_redrawing = false;
};
