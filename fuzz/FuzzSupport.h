// Shared by the fuzz targets: a scratch folder of the process and the input
// written as a file in it. The targets speak to nobody: the ports' silent
// fallbacks answer every question with its default button.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

// A folder of this process, removed at its end unless MILVANE_FUZZ_KEEP is set.
inline const std::string& Scratch() {
    static char folder[4096];  // outlives every static object, for the exit handler
    static const std::string path = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "milvane-fuzz-XXXXXX").string();
        if (tmpl.size() >= sizeof folder || !mkdtemp(tmpl.data())) std::abort();
        tmpl.copy(folder, tmpl.size());
        if (std::getenv("MILVANE_FUZZ_KEEP")) std::fprintf(stderr, "scratch folder %s\n", folder);
        else std::atexit([] { std::error_code ec; std::filesystem::remove_all(folder, ec); });
        return tmpl;
    }();
    return path;
}

inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Writes bytes as the named file of the scratch folder (or a folder under it).
inline std::string WriteInput(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = std::filesystem::path(Scratch()) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace fuzz
