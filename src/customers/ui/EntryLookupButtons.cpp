#include "customers/ui/EntryLookupButtons.h"

#include "customers/ui/KokyakuEntryDlgControls.h"
#include "lookup/Dictionaries.h"
#include "lookup/ui/AddressSelectDlg.h"

bool RunLookupButton(int id, CEntryControls& controls, const AddressChooser& choose) {
    const std::optional<LookupButton> button = LookupOfButton(id);
    if (!button) return false;
    const ControlValues before = controls.Read();
    ControlValues values = before;
    CLookupDictionaries* dicts = Lookup::Current();
    const std::optional<int> focus = button->postal ? RunPostalLookup(*button->block, values, dicts, choose)
                                                    : RunPhoneLookup(*button->block, values, dicts, choose);
    if (!focus) return true;
    ControlValues changed;
    for (const auto& [cid, state] : values) {
        auto it = before.find(cid);
        if (it == before.end() || !(it->second == state)) changed[cid] = state;
    }
    controls.Write(changed);
    controls.Focus(*focus);
    return true;
}

AddressChooser DialogAddressChooser(QWidget* parent) {
    return [parent](const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows) {
        return ChooseAddress(parent, headers, rows);
    };
}
