// The customer entry dialog in its three layouts (normal, individual,
// corporate). The widgets bind to CKokyakuEntryLogic, which holds the rules.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <map>

#include "customers/EntryLookup.h"
#include "customers/KokyakuEntry.h"
#include "customers/ui/KokyakuEntryDlgControls.h"

class QPushButton;
class CKokyakuSubDlg;

class CKokyakuEntryDlg : public QDialog, public IKokyakuEntryView {
    Q_OBJECT
public:
    // record: the customer to change or show, or the one to copy when adding.
    CKokyakuEntryDlg(EntryLayout layout, EntryMode mode, const CEntryRecord* record, bool hasPrev, bool hasNext,
                     IKokyakuEntryHost* host, EntryLabelFn labels, QWidget* parent = nullptr,
                     ChoiceComboFactory choices = {});

    CKokyakuEntryLogic& Logic() { return m_logic; }
    CEntryControls& Controls() { return *m_controls; }
    // Buttons by id: 1, 1389, 1356, 1357, 1325, 1295, 1326 or 1362; the
    // lookup and URL buttons are in Controls().
    QPushButton* Button(int id) const;

    // IKokyakuEntryView
    ControlValues ReadControls() override;
    void WriteControls(const ControlValues& values) override;
    void FocusControl(int id) override;

    // Runs a sub-dialog modally and tells whether it ended with OK;
    // replaceable (tests drive the sub-dialog without an event loop).
    std::function<bool(CKokyakuSubDlg&)> runSubDialog;
    // Opens an address with the desktop's default handler; replaceable.
    std::function<void(const QString&)> openUrl;
    // Picks one of several lookup hits (the selection dialog); replaceable.
    AddressChooser chooseAddress;
    // The picture dialog over the five picture names (view-only flag); true
    // when it ended with OK. "写真..." stays disabled while it is unset.
    std::function<bool(std::array<std::string, 5>&, bool)> runPictures;
    void SetPictureRunner(std::function<bool(std::array<std::string, 5>&, bool)> run);

private:
    void OnCommand(int id);
    void OpenSubDialog(bool notes);
    void OpenPictures();
    void UpdateButtons();

    CKokyakuEntryLogic m_logic;
    EntryLabelFn m_labels;
    ChoiceComboFactory m_choices;
    CEntryControls* m_controls;
    std::map<int, QPushButton*> m_buttons;
};
