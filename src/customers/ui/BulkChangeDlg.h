// "顧客の一括修正": one of four fields, with its value, for all selected customers.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "customers/BulkChange.h"
#include "customers/ui/KokyakuEntryDlgControls.h"

class QComboBox;
class QRadioButton;

class CBulkChangeDlg : public QDialog {
    Q_OBJECT
public:
    // labels: the labels of the column definition set; when it gives none the
    // buttons keep their own texts.
    // choices makes the drop-downs of the three ranking lists.
    explicit CBulkChangeDlg(const EntryLabelFn& labels, QWidget* parent = nullptr, const ChoiceComboFactory& choices = {});

    int ChosenButton() const;  // 0 colour, 1 importance, 2 ranking 1, 3 ranking 2
    QRadioButton* Radio(int button) const { return m_radios[button]; }
    QComboBox* Value(int button) const { return m_values[button]; }
    // OK: the checks and the question; accepts on Yes.
    void OnOk();
    // The result after OK.
    const BulkChangeChoice& Choice() const { return m_choice; }

private:
    void UpdateEnabling();

    std::array<QRadioButton*, kBulkChangeFieldCount> m_radios{};
    std::array<QComboBox*, kBulkChangeFieldCount> m_values{};
    BulkChangeChoice m_choice;
};

// Runs the dialog modally; the choice, or nullopt when cancelled.
std::optional<BulkChangeChoice> RunBulkChangeDialog(QWidget* parent, const EntryLabelFn& labels,
                                                    const ChoiceComboFactory& choices = {});
