// Runs a lookup button (postal code or telephone) of an entry page on its
// controls: the page's values go to the core lookup, and the controls it
// filled are written back and the focus set.
#pragma once

#include "customers/EntryLookup.h"

class CEntryControls;
class QWidget;

// False when id is not a lookup button.
bool RunLookupButton(int id, CEntryControls& controls, const AddressChooser& choose);

// The selection dialog of several hits, over parent.
AddressChooser DialogAddressChooser(QWidget* parent);
