// Entry points of the customer entry dialogs for the screens: the menu
// screen's "顧客を追加" and the customer screen's add, change, copy and bulk
// change commands.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "customers/KokyakuEntryCommands.h"
#include "customers/ui/KokyakuEntryDlgControls.h"

class QWidget;
class CMilvaneDoc;

// The free-item labels of the column definition set, loaded once.
EntryLabelFn LoadEntryLabels(const std::string& installDir);
// The choice-list drop-downs of the data folder.
ChoiceComboFactory EntryChoiceCombos(const std::string& installDir);
// Opens the entry dialog of a layout modally with the labels and choice lists
// of the installation.
EntryDialogRunner QtEntryDialogRunner(QWidget* parent, const std::string& installDir);

// Menu screen, button 0 "顧客を追加" (layout from the profile; a stored type
// other than 0, 1, 2 does nothing).
void RunMenuAddCustomer(QWidget* parent, CMilvaneDoc* doc);
// Customer screen 1002, 32779, 32803 (cardType: the screen's entry type).
void RunKokyakuAdd(QWidget* parent, CMilvaneDoc* doc, int cardType, const KokyakuScreenOps& ops);
void RunKokyakuChange(QWidget* parent, CMilvaneDoc* doc, int cardType, const CKokyaku* selected, bool hasPrev,
                      bool hasNext, const KokyakuScreenOps& ops);
void RunKokyakuCopy(QWidget* parent, CMilvaneDoc* doc, int cardType, const CKokyaku* selected,
                    const KokyakuScreenOps& ops);
// Customer screen 32831: the selected keys and how to redraw rows. Returns
// the database result (0 when nothing was done).
int RunKokyakuBulkChange(QWidget* parent, CMilvaneDoc* doc, const std::vector<uint32_t>& selected,
                         const std::function<void(const std::vector<uint32_t>&)>& rewriteRows);
