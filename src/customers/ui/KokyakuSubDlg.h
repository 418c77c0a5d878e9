// The secondary dialogs of the customer entry: notes, company details, company
// information and home information. Each edits a copy of the working record;
// the caller copies the fields back on OK.
#pragma once

#include <QDialog>
#include <functional>

#include "customers/EntryLookup.h"
#include "customers/KokyakuEntry.h"
#include "customers/ui/KokyakuEntryDlgControls.h"

class QPushButton;

class CKokyakuSubDlg : public QDialog {
    Q_OBJECT
public:
    CKokyakuSubDlg(SubDialogKind kind, const CEntryRecord& record, bool viewOnly, EntryLabelFn labels,
                   QWidget* parent = nullptr, ChoiceComboFactory choices = {});

    SubDialogKind Kind() const { return m_kind; }
    const CEntryRecord& Record() const { return m_record; }
    CEntryControls& Controls() { return *m_controls; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    // OK: saves the controls into the record; a failing control keeps the
    // dialog open with the focus on it.
    void OnOk();

    // Opens an address with the desktop's default handler; replaceable.
    std::function<void(const QString&)> openUrl;
    // Picks one of several lookup hits (the selection dialog); replaceable.
    AddressChooser chooseAddress;

private:
    void OnButton(int id);

    SubDialogKind m_kind;
    CEntryRecord m_record;
    bool m_viewOnly;
    CEntryControls* m_controls;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

// Opens an address with the desktop's default handler.
void OpenUrlWithDesktop(const QString& url);
