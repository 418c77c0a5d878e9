// Copies and reloads shared by the commands that move between data folders
// (location change, past data, history purge).
#pragma once

#include <string>
#include <vector>

#include "maintenance/SafeFile.h"

class CMilvaneDoc;

// Copies every file (not sub-folder) of <dataFolder>/Picture into target,
// overwriting, each fsynced, then fsyncs target. The names not copied.
std::vector<std::string> CopyPicturesSynced(const std::string& dataFolder, const std::string& target,
                                            mfs::CCopyBuffer& buffer);

// Copies source to target through a temporary file beside target that is
// fsynced and then renamed over it: target is whole or as it was.
bool CopyFileReplacing(const std::string& source, const std::string& target, mfs::CCopyBuffer& buffer,
                       mfs::FileError& err);

// Loads every customer in the default sort order into the document's list.
// False (after "顧客データの取得に失敗しました。…") when the list cannot be read.
bool LoadCustomersSorted(CMilvaneDoc& doc);

// Finishes or deletes a staged replacement left in folder before it is
// opened; false after telling why when that fails.
bool RecoverBeforeOpen(const std::string& folder);

// path without its trailing "/" (a lone "/" stays).
std::string WithoutTrailingSlash(std::string path);
