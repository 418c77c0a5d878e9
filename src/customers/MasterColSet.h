// The column definitions an installation ships ("Data/Org/MLVColSet.sys"):
// every field of the customer record plus the joined addresses, in record
// order, with their Japanese labels; the notes and rankings are free items.
#pragma once

#include <string>
#include <vector>

#include "customers/MLVColSet.h"

std::vector<CMLVCol> MasterColumns();
// Writes <templateRoot>/Data/Org/MLVColSet.sys, creating the folders. False on failure.
bool WriteMasterColSet(const std::string& templateRoot);
