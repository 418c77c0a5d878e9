// The selection dialog of the lookups: several hits are listed and one is
// chosen (double-click or Enter takes the selected row).
#pragma once

#include <QDialog>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;

class CAddressSelectDlg : public QDialog {
    Q_OBJECT
public:
    CAddressSelectDlg(const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows,
                      QWidget* parent = nullptr);

    QTreeWidget* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }
    // The chosen row after OK.
    std::optional<std::size_t> Chosen() const;

private:
    QTreeWidget* m_list;
    QPushButton* m_ok;
};

// Runs the dialog modally; the chosen row, or nullopt when cancelled.
std::optional<std::size_t> ChooseAddress(QWidget* parent, const std::vector<std::string>& headers,
                                         const std::vector<std::vector<std::string>>& rows);
