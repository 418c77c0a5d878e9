// The card pane on the right of the customer screen: three tabs, the button
// rows, the history card, the detail card and the picture card. The rules
// live in CCardPaneLogic; buttons send their command ids to the screen.
#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "customers/CardPane.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTreeWidget;
class CPictureWnd;

class CCardPane : public QWidget {
    Q_OBJECT
public:
    // labelOf: the label of a field in the column definition set.
    CCardPane(std::function<std::string(const std::string&)> labelOf, QWidget* parent = nullptr);

    CCardPaneLogic& Logic() { return m_logic; }
    void SetPictureFolder(const std::string& folder) { m_pictureFolder = folder; }

    QPushButton* Tab(int page) const { return m_tabs[page]; }
    // Buttons by command id.
    QPushButton* Button(int id) const;
    QTreeWidget* HistoryList() const { return m_history; }
    QWidget* DetailCard() const { return m_detail; }
    QWidget* PictureCard() const { return m_pictures; }
    CPictureWnd* PictureWindow(int n) const { return m_pictureWnds[n]; }
    // The value label of a field on the detail card.
    QLabel* DetailValue(const std::string& field) const;
    QLabel* MarkLabel() const { return m_mark; }

    // Opens an address (URL links); replaceable.
    std::function<void(const QString&)> openUrl;

signals:
    void command(int id);
    // A history row was activated (double-click or Enter): opens it.
    void entryActivated();
    // A mail-address link of the detail card was activated.
    void mailAddressActivated(const QString& address);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Layout();
    void RebuildRows();
    void SyncSelection();
    void ShowCustomer();
    void ShowPage();

    CCardPaneLogic m_logic;
    std::function<std::string(const std::string&)> m_labelOf;
    std::string m_pictureFolder;
    std::array<QPushButton*, 3> m_tabs{};
    std::vector<std::pair<int, QPushButton*>> m_historyButtons;
    std::vector<std::pair<int, QPushButton*>> m_detailButtons;
    QTreeWidget* m_history;
    QScrollArea* m_detailScroll;
    QWidget* m_detail;
    QWidget* m_pictures;
    QLabel* m_mark;
    std::vector<std::pair<std::string, QLabel*>> m_values;
    std::vector<std::pair<std::string, QLabel*>> m_labels;
    QLabel* m_colorSwatch = nullptr;
    std::array<CPictureWnd*, 5> m_pictureWnds{};
    std::array<QLabel*, 5> m_pictureCaptions{};
    bool m_syncing = false;
};
