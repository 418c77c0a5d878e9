// Folder and file helpers. Paths are UTF-8 with "/" as the separator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// 1 folder path without trailing "/", 2 with one, 3 a single character, 4 "/" alone.
int ClassifyPath(std::string_view path);

// The first line of <installDir>/Data/MyData/datadir.dat (Shift-JIS) with a
// trailing "/" removed, or "" when missing. No existence test.
std::string GetDataFolder(const std::string& installDir);
// Makes GetDataFolder give folder for every installation ("" restores
// datadir.dat): the command-line program's --data.
void OverrideDataFolder(const std::string& folder);
const std::string& DataFolderOverride();

// 1 existed; 2 created; 3 user answered No; 4 creation failed (message shown);
// 0 missing and creation not allowed.
int EnsureFolder(const std::string& folder, bool mayCreate, bool askFirst);

// Whether the folder holds a file (not a folder) with the extension (any when
// empty); the full path of the first one in name order goes to firstPath.
bool FindFileInFolder(const std::string& folder, const std::string& extension, std::string* firstPath = nullptr);

// Copies every file of <dataFolder>/Picture into target, overwriting; returns
// the names of the files not copied.
std::vector<std::string> CopyPictures(const std::string& dataFolder, const std::string& target);

// Starts <installDir>/<relativePath> as a separate process without waiting.
// The argument is split into words as a shell splits plain words. False when
// the program cannot be started.
bool StartSibling(const std::string& installDir, const std::string& relativePath, const std::string& argument);

bool FileExists(const std::string& path);    // a regular file
bool FolderExists(const std::string& path);  // a directory
// Whether two paths name the same file or folder: by file identity when
// they exist, else by their normalised absolute paths. Letter case counts.
bool SamePath(const std::string& a, const std::string& b);
std::string JoinPath(std::string_view folder, std::string_view name);
