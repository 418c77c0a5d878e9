#include "root/Wiring.h"

#include <memory>

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

void InstallMenuScreenFeatures(CMenuScreenHooks& menu) {
    menu.analysis = [](CMilvaneView& view) { return RunSorunaSheet(&view, &view.Document(), false); };
    menu.loadAllHistory = [](CMilvaneDoc& doc) { return doc.Database().GetAllRireki(doc.RirekiList); };
    menu.hasPreExtraction = [](CMilvaneDoc& doc) { return Exists(doc.DataDir); };
    menu.commands[ID_PRE_EXTRACT_CLEAR] = [](CMilvaneView& view) { RemovePreExtraction(view.Document().DataDir); };
    menu.commands[ID_PRE_EXTRACT_SET] = [](CMilvaneView& view) {
        SetPreExtractionCommand(view.Document(), [&view](int mode) { return RunExtractDialog(&view, view.Document(), mode); });
    };
    // The menu screen's extraction: a history result needs the history screen.
    menu.extraction = [](CMilvaneView& view) {
        const int mode = view.Frame().Screens().IsRegistered(SCREEN_RIREKI_LIST) ? kExtractAny : kExtractCustomers;
        return RunExtractDialog(&view, view.Document(), mode);
    };
    menu.extractHistory = [](CMilvaneView& view) {
        return RunExtractDialog(&view, view.Document(), kExtractRireki, 1) == 2;
    };
    menu.addCustomer = [](CMilvaneView& view, int inputType) {
        RunMenuAddCustomer(&view, &view.Document(), inputType);
    };
    menu.commands[ID_LIST_COLUMNS] = [](CMilvaneView& view) {
        RunDispSettingsDialog(&view, view.Document().InstallDir());
    };
    menu.commands[ID_FREE_ITEM_NAMES] = [](CMilvaneView& view) {
        RunFreeItemDialog(&view, view.Document().InstallDir());
    };
    menu.commands[ID_TANTOU_LIST] = [](CMilvaneView& view) {
        RunChoiceListEditor(&view, view.Document().InstallDir(), kListTantou);
    };
    menu.commands[ID_CHOICE_LISTS] = [](CMilvaneView& view) {
        RunChoiceListChooser(&view, view.Document().InstallDir());
    };
    menu.commands[ID_OWN_COMPANY] = [](CMilvaneView& view) {
        COwnCompanyDlg dialog(view.Document().InstallDir(), &view);
        dialog.exec();
    };
    InstallFormGallery(menu);
    menu.commands[ID_AMOUNT_SETTINGS] = [](CMilvaneView& view) {
        CAmountDlg dialog(view.Document().InstallDir(), &view);
        dialog.exec();
    };
    RegisterMaintenanceCommands(menu);
    RegisterFormBackupCommands(menu, [](CMilvaneDoc& doc) {
        std::vector<int> numbers;
        for (const CUserFormEntry& e : ReadUserForms(doc.InstallDir())) numbers.push_back(e.number);
        return numbers;
    });
}

CScreenRegistry BuiltScreens() {
    CScreenRegistry screens;
    screens.Register(SCREEN_MENU, [](CMilvaneDoc& doc, CMainFrame& frame, int) -> CScreenView* {
        auto features = std::make_shared<CMenuScreenHooks>();
        InstallMenuScreenFeatures(*features);
        return new CMilvaneView(doc, frame, features);
    });
    CKokyakuView::Register(screens);  // screens 1 to 3
    CRirekiView::Register(screens);   // screen 4
    CDMListView::Register(screens);   // screen 5
    return screens;
}
