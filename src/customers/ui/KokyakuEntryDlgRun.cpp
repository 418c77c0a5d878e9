#include "customers/ui/KokyakuEntryDlgRun.h"

#include <memory>

#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "customers/MLVColSet.h"
#include "customers/ui/ChoiceComboBox.h"
#include "customers/ui/BulkChangeDlg.h"
#include "customers/ui/KokyakuEntryDlg.h"
#include "pictures/ui/PictureSelectDlg.h"

EntryLabelFn LoadEntryLabels(const std::string& installDir) {
    auto set = std::make_shared<CMLVColSet>(installDir);
    if (!set->Load()) return [](const std::string&) { return std::string(); };
    return [set](const std::string& field) { return set->GetLabel(field); };
}

ChoiceComboFactory EntryChoiceCombos(const std::string& installDir) {
    if (installDir.empty()) return {};
    return [installDir](int listNo, bool autoRegister, QWidget* parent) -> QComboBox* {
        auto* c = new CChoiceComboBox(parent);
        c->Fill(installDir, listNo, autoRegister);
        return c;
    };
}

EntryDialogRunner QtEntryDialogRunner(QWidget* parent, const std::string& installDir, std::string pictureFolder) {
    if (pictureFolder.empty() && !installDir.empty()) pictureFolder = GetDataFolder(installDir) + "/Picture";
    return [parent, installDir, pictureFolder](EntryLayout layout, EntryMode mode, const CEntryRecord* record,
                                               bool hasPrev, bool hasNext, IKokyakuEntryHost& host) {
        CKokyakuEntryDlg dlg(layout, mode, record, hasPrev, hasNext, &host, LoadEntryLabels(installDir), parent,
                             EntryChoiceCombos(installDir));
        if (!installDir.empty())
            dlg.SetPictureRunner([&dlg, installDir, pictureFolder](std::array<std::string, 5>& names, bool viewOnly) {
                return RunPictureSelectDialog(&dlg, names, viewOnly, installDir, pictureFolder);
            });
        dlg.exec();
    };
}

namespace {
std::string InstallDirOf(const CMilvaneDoc* doc) { return doc ? doc->InstallDir() : std::string(); }
}  // namespace

void RunKokyakuEntry(QWidget* parent, CMilvaneDoc& doc, int cardType, EntryMode mode, const CKokyaku* record,
                     bool hasPrev, bool hasNext, const KokyakuScreenOps* ops) {
    const auto layout = LayoutOfCardType(cardType);
    if (!layout) return;
    const std::optional<CEntryRecord> copy = record ? std::optional<CEntryRecord>(ToEntryRecord(*record)) : std::nullopt;
    CKokyakuEntryHost host(doc, ops);
    QtEntryDialogRunner(parent, doc.InstallDir(), doc.PictureFolder())(*layout, mode, copy ? &*copy : nullptr, hasPrev, hasNext, host);
}

void RunMenuAddCustomer(QWidget* parent, CMilvaneDoc* doc) {
    MenuAddCustomer(doc, StoredCardType(), QtEntryDialogRunner(parent, InstallDirOf(doc)));
}

void RunMenuAddCustomer(QWidget* parent, CMilvaneDoc* doc, int inputType) {
    MenuAddCustomer(doc, inputType, QtEntryDialogRunner(parent, InstallDirOf(doc)));
}

void RunKokyakuAdd(QWidget* parent, CMilvaneDoc* doc, int cardType, const KokyakuScreenOps& ops) {
    ScreenAddCustomer(doc, cardType, ops, QtEntryDialogRunner(parent, InstallDirOf(doc)));
}

void RunKokyakuChange(QWidget* parent, CMilvaneDoc* doc, int cardType, const CKokyaku* selected, bool hasPrev,
                      bool hasNext, const KokyakuScreenOps& ops) {
    ScreenChangeCustomer(doc, cardType, selected, hasPrev, hasNext, ops,
                         QtEntryDialogRunner(parent, InstallDirOf(doc), doc ? doc->PictureFolder() : std::string()));
}

void RunKokyakuCopy(QWidget* parent, CMilvaneDoc* doc, int cardType, const CKokyaku* selected,
                    const KokyakuScreenOps& ops) {
    ScreenCopyCustomer(doc, cardType, selected, ops, QtEntryDialogRunner(parent, InstallDirOf(doc)));
}

int RunKokyakuBulkChange(QWidget* parent, CMilvaneDoc* doc, const std::vector<uint32_t>& selected,
                         const std::function<void(const std::vector<uint32_t>&)>& rewriteRows) {
    const std::string installDir = InstallDirOf(doc);
    return ScreenBulkChange(
        doc, selected,
        [&] { return RunBulkChangeDialog(parent, LoadEntryLabels(installDir), EntryChoiceCombos(installDir)); },
        rewriteRows);
}
