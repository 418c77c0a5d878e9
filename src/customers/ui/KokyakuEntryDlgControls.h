// Widgets shared by the customer entry dialogs and their sub-dialogs: the name
// field that captures the input method's reading, the drawn colour list, and
// the set of bound controls that reads and writes ControlValues.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "customers/KokyakuEntry.h"

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QInputMethodEvent;
class QPushButton;
class QRadioButton;

// A line edit that keeps the reading of the text being composed through the
// input method and hands it over, as half-width katakana, when the
// composition is committed.
class CReadingLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    const QString& KeptReading() const { return m_reading; }

signals:
    void readingCommitted(const QString& halfWidthKatakana);

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    QString m_reading;
};

// A reading field: text committed through the input method arrives as
// half-width katakana, as the reading fields have always been kept.
class CHalfKanaLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
};

// The colour list: each entry shows a swatch of its colour and its name.
class CColorMarkCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CColorMarkCombo(QWidget* parent = nullptr);
};

// The label of a field in the column definition set ("" when none); the
// dialogs title their free items with it.
using EntryLabelFn = std::function<std::string(const std::string& field)>;

// Makes the editable drop-down of a choice list (list number as in the
// choice-list files: 3 importance, 4 and 5 rankings, 6 payment, 7 trade,
// 8 staff); autoRegister is off in view-only dialogs.
using ChoiceComboFactory = std::function<QComboBox*(int listNo, bool autoRegister, QWidget* parent)>;
// The choice list of a control id, or -1.
int ChoiceListOfControl(int id);

// The controls of one page, built from its bindings. Every control gets its
// label as accessible name; the tab order follows the order of building.
class CEntryControls : public QObject {
    Q_OBJECT
public:
    // Without a factory the choice lists are plain editable drop-downs.
    CEntryControls(const std::vector<EntryBinding>& bindings, EntryLabelFn labels, bool viewOnly, QWidget* owner,
                   ChoiceComboFactory choices = {});

    // A titled block with one row per control id: label, control, and where
    // the control has them a standard-mail button or a lookup / open button.
    QGroupBox* BuildGroup(const QString& title, const std::vector<int>& ids);

    QWidget* Control(int id) const;
    QAbstractButton* Button(int id) const;  // lookup, URL and standard-mail buttons
    QString LabelText(int id) const;

    ControlValues Read() const;
    void Write(const ControlValues& values);
    void Focus(int id);
    int MailChoice() const;  // the address number of the chosen button, 0 when none
    void ClearMailButtons();
    // Appends text to a line edit (the automatic reading).
    void AppendText(int id, const QString& text);

signals:
    void buttonClicked(int id);

private:
    QWidget* MakeControl(const EntryBinding& b);
    void AddExtras(int id, class QGridLayout* grid, int row);

    std::vector<EntryBinding> m_bindings;
    EntryLabelFn m_labels;
    ChoiceComboFactory m_choices;
    bool m_viewOnly;
    QWidget* m_owner;
    std::map<int, QWidget*> m_controls;
    std::map<int, QAbstractButton*> m_buttons;
    std::map<int, QString> m_labelTexts;
    QButtonGroup* m_mailGroup = nullptr;
    int m_mailFirst = 0, m_mailLast = 0;
};

// The label shown beside a control of the entry dialogs.
QString EntryControlLabel(int id, const EntryLabelFn& labels);
