// Reading the files the backup commands write: each starts with its
// Shift-JIS title; names are stored as a 32-bit length and Shift-JIS bytes.
#pragma once

#include <cstdint>
#include <string>

#include "maintenance/SafeFile.h"

enum class BackupTitle { Ok, Short, Other };

// Reads as many bytes as title holds and compares them with it.
BackupTitle ReadBackupTitle(mfs::CFile& in, const std::string& sjisTitle, mfs::FileError& err);

// Version 1, the file's total length (it must match), and a count of at most maxCount.
bool ReadBackupHeader(mfs::CFile& in, uint32_t maxCount, uint32_t& count, mfs::FileError& err);

// A stored name of 1 to 1024 bytes, as UTF-8.
bool ReadBackupName(mfs::CFile& in, std::string& name, mfs::FileError& err);
