// An installation in a temporary folder for tests that open a document:
// datadir.dat naming its "data" folder, the column sets, the document.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "customers/MLVColSet.h"
#include "support/TestPorts.h"

class CMilvaneDoc;

// Makes `install` an installation whose datadir.dat names its "data" folder;
// returns that folder.
std::string MakeInstallation(const TempDir& install);

// Saves the installation's column set and, unless `shown` is empty, the
// customer list's displayed columns.
void SaveColumns(const TempDir& install, const std::vector<CMLVCol>& columns,
                 const std::vector<std::string>& shown = {});

// A document of the installation on its "data" folder. With `database`, an
// empty database is created there and opened.
std::unique_ptr<CMilvaneDoc> OpenDocument(const TempDir& install, bool database);
