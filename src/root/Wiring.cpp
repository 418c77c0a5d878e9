#include "root/Wiring.h"

#include <memory>
#include <span>
#include <vector>

#include "analysis/ui/SorunaSheet.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MilvaneView.h"
#include "customers/ComboData.h"
#include "customers/PreExtraction.h"
#include "customers/ui/ChoiceEditDlg.h"
#include "customers/ui/DispSettingsDlg.h"
#include "customers/ui/KokyakuEntryDlgRun.h"
#include "customers/ui/KokyakuView.h"
#include "db/MilvaneData.h"
#include "dm/ui/DMListView.h"
#include "extract/ui/ExtractDlg.h"
#include "history/ui/RirekiView.h"
#include "maintenance/ui/MaintenanceCommands.h"
#include "printing/UserForms.h"
#include "printing/ui/FormGalleryUi.h"
#include "printing/ui/OwnCompanyDlg.h"

namespace {

std::vector<int> UserFormNumbers(const CMilvaneDoc& doc) {
    std::vector<int> numbers;
    for (const CUserFormEntry& e : ReadUserForms(doc.InstallDir())) numbers.push_back(e.number);
    return numbers;
}

template <typename Dialog>
void RunSettingsDialog(CMilvaneView& view) {
    Dialog dialog(view.Document().InstallDir(), &view);
    dialog.exec();
}

// The pop-up commands whose features meet here.
constexpr CMenuCommand kCommands[] = {
    {ID_PRE_EXTRACT_CLEAR, [](CMilvaneView& view) { RemovePreExtraction(view.Document().DataDir); }},
    {ID_PRE_EXTRACT_SET,
     [](CMilvaneView& view) {
         SetPreExtractionCommand(view.Document(),
                                 [&view](int mode) { return RunExtractDialog(&view, view.Document(), mode); });
     }},
    {ID_LIST_COLUMNS, [](CMilvaneView& view) { RunDispSettingsDialog(&view, view.Document().InstallDir()); }},
    {ID_FREE_ITEM_NAMES, [](CMilvaneView& view) { RunFreeItemDialog(&view, view.Document().InstallDir()); }},
    {ID_TANTOU_LIST,
     [](CMilvaneView& view) { RunChoiceListEditor(&view, view.Document().InstallDir(), kListTantou); }},
    {ID_CHOICE_LISTS, [](CMilvaneView& view) { RunChoiceListChooser(&view, view.Document().InstallDir()); }},
    {ID_OWN_COMPANY, RunSettingsDialog<COwnCompanyDlg>},
    {ID_AMOUNT_SETTINGS, RunSettingsDialog<CAmountDlg>},
    {ID_FORM_BACKUP, [](CMilvaneView& view) { RunFormBackup(view, UserFormNumbers(view.Document())); }},
};

const CMenuCommand* FindCommand(int id) {
    for (std::span<const CMenuCommand> table : {std::span<const CMenuCommand>(kCommands), MaintenanceCommands(),
                                                FormGalleryCommands()})
        if (const CMenuCommand* command = FindMenuCommand(table, id)) return command;
    return nullptr;
}

}  // namespace

void CMenuScreenFeatures::AddCustomer(CMilvaneView& view, int inputType) {
    RunMenuAddCustomer(&view, &view.Document(), inputType);
}

int CMenuScreenFeatures::Analysis(CMilvaneView& view) { return RunSorunaSheet(&view, &view.Document(), false); }

// The menu screen's extraction: a history result needs the history screen.
int CMenuScreenFeatures::Extraction(CMilvaneView& view) {
    const int mode = view.Frame().Screens().IsRegistered(SCREEN_RIREKI_LIST) ? kExtractAny : kExtractCustomers;
    return RunExtractDialog(&view, view.Document(), mode);
}

bool CMenuScreenFeatures::ExtractHistory(CMilvaneView& view) {
    return RunExtractDialog(&view, view.Document(), kExtractRireki, 1) == 2;
}

int CMenuScreenFeatures::LoadAllHistory(CMilvaneDoc& doc) { return doc.Database().GetRirekiKeys(doc.RirekiList); }

void CMenuScreenFeatures::FillGallery(CMilvaneView& view) { FillFormGallery(view); }

void CMenuScreenFeatures::FormListChanged(CMilvaneView& view) { RefillUserFormGallery(view); }

void CMenuScreenFeatures::OpenForm(CMilvaneView& view) { OpenGallerySelection(view); }

bool CMenuScreenFeatures::HasPreExtraction(CMilvaneDoc& doc) { return Exists(doc.DataDir); }

int CMenuScreenFeatures::UserFormCount(CMilvaneDoc& doc) {
    return static_cast<int>(ReadUserForms(doc.InstallDir()).size());
}

bool CMenuScreenFeatures::HasCommand(int id) const { return FindCommand(id) != nullptr; }

void CMenuScreenFeatures::RunCommand(int id, CMilvaneView& view) {
    if (const CMenuCommand* command = FindCommand(id)) command->run(view);
}

CScreenRegistry BuiltScreens() {
    CScreenRegistry screens;
    screens.Register(SCREEN_MENU, [](CMilvaneDoc& doc, CMainFrame& frame, int) -> CScreenView* {
        return new CMilvaneView(doc, frame, std::make_shared<CMenuScreenFeatures>());
    });
    CKokyakuView::Register(screens);  // screens 1 to 3
    CRirekiView::Register(screens);   // screen 4
    CDMListView::Register(screens);   // screen 5
    return screens;
}
