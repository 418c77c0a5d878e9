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

// Names that pass through Shift-JIS files (datadir.dat, backups): a name read
// back stands for the entry of its folder that a Shift-JIS file writes as the
// same bytes. Names the program makes survive the round trip (SjisSafeName);
// a name is written only when it leads back to its own entry.
//
// The entry of folder called name; else the one entry written as the same
// Shift-JIS bytes; else (none or several) name itself.
std::string ResolveSjisName(const std::string& folder, const std::string& name);
// A path read back from a Shift-JIS file, resolved one folder at a time.
std::string ResolveSjisPath(const std::string& path);
// Whether name, written to a Shift-JIS file, resolves back to itself in
// folder: it survives the round trip, or no other entry of folder is written
// as the same bytes. name need not exist yet.
bool SjisNameLeadsBack(const std::string& folder, const std::string& name);
// The same for every folder of an absolute path.
bool SjisPathLeadsBack(const std::string& path);
// Whether folder holds an entry called name or one written as the same bytes.
bool SjisNameTaken(const std::string& folder, const std::string& name);
// Told when a chosen folder fails SjisPathLeadsBack.
inline constexpr const char* kSjisNameClash =
    "指定されたフォルダの名前には、同じ場所にある別のフォルダと区別して記録できない文字が含まれています。\n"
    "フォルダ名を変更するか、別のフォルダを指定してください。";

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
