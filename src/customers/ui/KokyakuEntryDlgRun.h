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
// Opens the entry dialog of a layout modally with the labels, choice lists
// and picture dialog of the installation; pictureFolder "" is the data
// folder's "Picture".
EntryDialogRunner QtEntryDialogRunner(QWidget* parent, const std::string& installDir, std::string pictureFolder = {});

// The entry dialog alone, for a screen that made its own checks: layout by
// card type (0 normal, 1 individual, 2 corporate; any other value does
// nothing), mode, the record to change, show or copy (none for a new one),
// the neighbour flags and the screen's operations (none: add and change go
// straight through the document, without previous / next).
void RunKokyakuEntry(QWidget* parent, CMilvaneDoc& doc, int cardType, EntryMode mode, const CKokyaku* record,
                     bool hasPrev, bool hasNext, const KokyakuScreenOps* ops);

// Menu screen, button 0 "顧客を追加": the checks (no document, read-only)
// and the dialog for the input type (3 and others do nothing). Without an
// input type it is read from the profile.
void RunMenuAddCustomer(QWidget* parent, CMilvaneDoc* doc);
void RunMenuAddCustomer(QWidget* parent, CMilvaneDoc* doc, int inputType);
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
