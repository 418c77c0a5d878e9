#include "app/IxenEnv.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/SjisText.h"

#ifndef MILVANE_VERSION_INT
#define MILVANE_VERSION_INT 100
#endif

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return std::string();
    return exe.parent_path().string();
}

}  // namespace

std::string CIxenEnv::InstallDir() {
    std::string home = Env("MILVANE_HOME");
    if (!home.empty()) {
        std::error_code ec;
        fs::path abs = fs::absolute(home, ec);
        return WithoutTrailingSlash(ec ? home : abs.lexically_normal().string());
    }
    std::string data = Env("XDG_DATA_HOME");
    if (data.empty() || data.front() != '/') {
        std::string userHome = Env("HOME");
        if (userHome.empty()) userHome = fs::temp_directory_path().string();
        data = JoinPath(userHome, ".local/share");
    }
    return JoinPath(WithoutTrailingSlash(data), "Milvane");
}

int CIxenEnv::Version() { return MILVANE_VERSION_INT; }

std::string CIxenEnv::TemplateDir() {
    std::string fromEnv = Env("MILVANE_TEMPLATE");
    if (!fromEnv.empty()) return FolderExists(fromEnv) ? WithoutTrailingSlash(fromEnv) : std::string();
    std::string exeDir = ExecutableFolder();
    if (exeDir.empty()) return std::string();
    for (const char* rel : {"share/milvane/template", "../share/milvane/template"}) {
        std::error_code ec;
        fs::path p = fs::weakly_canonical(fs::path(exeDir) / rel, ec);
        if (!ec && FolderExists(p.string())) return p.string();
    }
    return std::string();
}

std::string FormatVersionText(int version) {
    char s[32];
    std::snprintf(s, sizeof s, "%3d", version);
    std::string text(s);
    if (text.size() < 3) return text;
    return text.substr(0, 1) + "." + text.substr(text.size() - 2);
}

std::string AboutText(int version) { return "Milvane\nVersion " + FormatVersionText(version); }

bool PrepareInstallation(const std::string& installDir, const std::string& templateDir) {
    bool ok = true;
    std::error_code ec;
    fs::create_directories(installDir, ec);
    if (ec) return false;

    if (!templateDir.empty() && FolderExists(templateDir)) {
        fs::path root(templateDir);
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
        if (ec) ok = false;
        for (; !ec && it != end; it.increment(ec)) {
            std::error_code fec;
            // Lexically: fs::relative would resolve a link to where it points.
            fs::path rel = it->path().lexically_relative(root);
            // The template keeps empty folders in git through placeholder files.
            if (rel.filename() == ".keep") continue;
            fs::path target = fs::path(installDir) / rel;
            if (it->is_symlink(fec)) {
                // A program the template links to (exe/Frmprint of an installed
                // package) is linked, not copied, so that it follows upgrades.
                if (fs::exists(fs::symlink_status(target, fec))) continue;
                fs::path linked = fs::canonical(it->path(), fec);
                if (!fec) fs::create_directories(target.parent_path(), fec);
                if (!fec) fs::create_symlink(linked, target, fec);
                if (fec) ok = false;
            } else if (it->is_directory(fec)) {
                if (!FolderExists(target.string())) {
                    fs::create_directories(target, fec);
                    if (fec) ok = false;
                }
            } else if (it->is_regular_file(fec)) {
                if (fs::exists(fs::symlink_status(target, fec))) continue;  // never overwrite
                fs::create_directories(target.parent_path(), fec);
                fs::copy_file(it->path(), target, fs::copy_options::none, fec);
                if (fec) ok = false;
            }
        }
        if (ec) ok = false;
    }

    std::string myData = JoinPath(installDir, "Data/MyData");
    std::string pointer = JoinPath(myData, "datadir.dat");
    if (!fs::exists(fs::symlink_status(pointer, ec))) {
        fs::create_directories(myData, ec);
        // A new default data folder gets the empty database and the master column set.
        for (const char* name : {"QSMLV.mlv", "MLVColSet.sys"}) {
            std::string target = JoinPath(myData, name);
            std::string source = JoinPath(templateDir, std::string("Data/Org/") + name);
            if (templateDir.empty() || FileExists(target) || !FileExists(source)) continue;
            fs::copy_file(source, target, fs::copy_options::none, ec);
            if (ec) ok = false;
        }
        if (!WriteWholeFileAtomic(pointer, Utf8ToSjis(myData))) ok = false;
    }
    return ok;
}
