// Cell texts and sort keys of customer records for the customer list.
#pragma once

#include <memory>

#include "customers/KokyakuListModel.h"

// Texts by the customer display rule; sort keys from the typed fields and the
// analysis hit.
std::shared_ptr<const IListCellSource> MakeKokyakuCellSource();
