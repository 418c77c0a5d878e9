#include "common/Folders.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/Archive.h"
#include "common/Ports.h"
#include "common/SjisText.h"

extern char** environ;

namespace fs = std::filesystem;

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SamePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    struct stat sa, sb;
    const bool hasA = ::stat(a.c_str(), &sa) == 0, hasB = ::stat(b.c_str(), &sb) == 0;
    if (hasA || hasB) return hasA && hasB && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // Neither exists yet: the absolute paths, with the links of their existing
    // parts resolved and "." and ".." removed, decide.
    const auto normal = [](const std::string& path) {
        std::error_code ec;
        fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec).lexically_normal();
        std::string text = p.string();
        while (text.size() > 1 && text.back() == '/') text.pop_back();
        return text;
    };
    return normal(a) == normal(b);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != '/') out.push_back('/');
    out.append(name);
    return out;
}

int ClassifyPath(std::string_view path) {
    if (path == "/") return 4;
    if (path.size() <= 1) return 3;  // UTF-8 trail bytes are never '/', so no double-byte care is needed
    return path.back() == '/' ? 2 : 1;
}

namespace {
std::string& OverrideSlot() {
    static std::string folder;
    return folder;
}
}  // namespace

const std::string& DataFolderOverride() { return OverrideSlot(); }

void OverrideDataFolder(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    OverrideSlot() = path;
}

std::string GetDataFolder(const std::string& installDir) {
    if (!DataFolderOverride().empty()) return DataFolderOverride();
    std::string bytes;
    if (!ReadWholeFile(installDir + "/Data/MyData/datadir.dat", bytes)) return std::string();
    std::size_t eol = bytes.find_first_of("\r\n");
    if (eol != std::string::npos) bytes.resize(eol);
    std::string path = ResolveSjisPath(SjisToUtf8(bytes));
    int cls = ClassifyPath(path);
    if (cls == 2 || cls == 4) path.pop_back();
    return path;
}

namespace {

// The entries of folder other than name that a Shift-JIS file writes as name's bytes.
std::vector<std::string> SjisTwins(const std::string& folder, const std::string& name) {
    std::vector<std::string> twins;
    const std::string bytes = Utf8ToSjis(name);
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? "/" : folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (entry != name && Utf8ToSjis(entry) == bytes) twins.push_back(std::move(entry));
    }
    return twins;
}

// Calls step(name) for each name of path, from the root, until it returns false.
template <typename Step>
bool ForEachComponent(const std::string& path, Step step) {
    std::size_t pos = 0;
    while (pos < path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        if (end > pos && !step(path.substr(pos, end - pos))) return false;
        pos = end + 1;
    }
    return true;
}

}  // namespace

std::string ResolveSjisName(const std::string& folder, const std::string& name) {
    struct stat st;
    if (name.empty() || ::lstat(JoinPath(folder.empty() ? "/" : folder, name).c_str(), &st) == 0) return name;
    std::vector<std::string> twins = SjisTwins(folder, name);
    return twins.size() == 1 ? twins[0] : name;
}

std::string ResolveSjisPath(const std::string& path) {
    if (!path.starts_with('/')) return path;
    std::string out;
    ForEachComponent(path, [&out](const std::string& name) {
        out = JoinPath(out.empty() ? "/" : out, ResolveSjisName(out, name));
        return true;
    });
    return out.empty() ? path : out;
}

bool SjisNameLeadsBack(const std::string& folder, const std::string& name) {
    return SjisRoundTrips(name) || SjisTwins(folder, name).empty();
}

bool SjisNameTaken(const std::string& folder, const std::string& name) {
    struct stat st;
    return ::lstat(JoinPath(folder.empty() ? "/" : folder, name).c_str(), &st) == 0 || !SjisTwins(folder, name).empty();
}

bool SjisPathLeadsBack(const std::string& path) {
    if (!path.starts_with('/')) return SjisRoundTrips(path);
    std::string walked;
    return ForEachComponent(path, [&walked](const std::string& name) {
        if (!SjisNameLeadsBack(walked, name)) return false;
        walked = JoinPath(walked.empty() ? "/" : walked, name);
        return true;
    });
}

int EnsureFolder(const std::string& folder, bool mayCreate, bool askFirst) {
    if (FolderExists(folder)) return 1;
    if (!mayCreate) return 0;
    if (askFirst && Ports::Prompt().AskYesNo("指定されたフォルダは存在しません。\nフォルダを作成しますか？", MsgIcon::Question,
                                             Answer::Yes) != Answer::Yes)
        return 3;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !FolderExists(folder)) {
        ShowMessage("フォルダを作成できませんでした。");
        return 4;
    }
    return 2;
}

bool FindFileInFolder(const std::string& folder, const std::string& extension, std::string* firstPath) {
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string name = it->path().filename().string();
        if (!extension.empty()) {
            std::string suffix = "." + extension;
            if (name.size() <= suffix.size()) continue;
            std::string tail = name.substr(name.size() - suffix.size());
            // Extensions compare case-insensitively (ASCII).
            if (!std::equal(tail.begin(), tail.end(), suffix.begin(), suffix.end(),
                            [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
                continue;
        }
        names.push_back(name);
    }
    if (names.empty()) return false;
    if (firstPath) *firstPath = JoinPath(folder, *std::min_element(names.begin(), names.end()));
    return true;
}

std::vector<std::string> CopyPictures(const std::string& dataFolder, const std::string& target) {
    std::vector<std::string> failed;
    std::error_code ec;
    for (fs::directory_iterator it(JoinPath(dataFolder, "Picture"), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        std::string name = it->path().filename().string();
        fs::copy_file(it->path(), fs::path(target) / name, fs::copy_options::overwrite_existing, fec);
        if (fec) failed.push_back(name);
    }
    return failed;
}

namespace {

// Splits plain words as a shell would: blanks separate, quotes group, a
// backslash takes the next character literally.
std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string cur;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
            else if (c == '\\' && quote == '"' && i + 1 < text.size()) cur.push_back(text[++i]);
            else cur.push_back(c);
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == '\\' && i + 1 < text.size()) {
            cur.push_back(text[++i]);
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(cur);
            cur.clear();
            inWord = false;
        } else {
            cur.push_back(c);
            inWord = true;
        }
    }
    if (inWord) words.push_back(cur);
    return words;
}

// Started siblings are reaped on later starts so that none stays a zombie.
std::vector<pid_t> g_started;

void ReapSiblings() {
    std::erase_if(g_started, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

}  // namespace

bool StartSibling(const std::string& installDir, const std::string& relativePath, const std::string& argument) {
    std::string program = JoinPath(installDir, relativePath[0] == '/' ? relativePath.substr(1) : relativePath);
    if (::access(program.c_str(), X_OK) != 0) return false;
    std::vector<std::string> words = SplitWords(argument);
    std::vector<char*> argv;
    argv.push_back(program.data());
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    pid_t pid;
    int rc = posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    ReapSiblings();
    if (rc != 0) return false;
    g_started.push_back(pid);
    return true;
}
