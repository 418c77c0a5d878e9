// Customers and file readers shared by the exchange tests.
#pragma once

#include <pugixml.hpp>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>

#include <memory>
#include <string>
#include <vector>

#include "common/XmlText.h"
#include "customers/Kokyaku.h"

struct TestCustomers {
    std::vector<std::unique_ptr<CKokyaku>> owned;

    CKokyaku& Add(const std::string& code, const std::string& name) {
        owned.push_back(std::make_unique<CKokyaku>());
        CKokyaku& k = *owned.back();
        k.ID = static_cast<int32_t>(owned.size());
        k.CustomerID = code;
        k.Name = name;
        return k;
    }
    std::vector<const CKokyaku*> All() const {
        std::vector<const CKokyaku*> out;
        for (const auto& k : owned) out.push_back(k.get());
        return out;
    }
};

// The value texts of the named fields, joined by "|".
inline std::string FieldsOf(const CKokyaku& k, std::initializer_list<const char*> names) {
    std::string out;
    for (const char* n : names) out += (out.empty() ? "" : "|") + FindKokyakuField(n)->ValueText(k);
    return out;
}

// One member of a zip archive, or "" when missing.
inline std::string ZipMember(const std::string& archive, const char* name) {
    int err = 0;
    zip_t* z = zip_open(archive.c_str(), ZIP_RDONLY, &err);
    if (!z) return std::string();
    std::string out;
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(z, name, 0)) {
            out.resize(static_cast<std::size_t>(st.size));
            zip_fread(f, out.data(), st.size);
            zip_fclose(f);
        }
    }
    zip_close(z);
    return out;
}

// Whether xmllint (when installed) finds text well-formed.
inline bool XmllintAccepts(const std::string& text) {
    if (!std::filesystem::exists("/usr/bin/xmllint")) return true;
    char path[] = "/tmp/milvane-xml-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return false;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    const bool ok = written && std::system(("/usr/bin/xmllint --noout --nonet " + std::string(path) + " 2>&1").c_str()) == 0;
    unlink(path);
    return ok;
}

// Parses a file we wrote, which must be well-formed XML 1.0: pugixml takes
// references to forbidden characters, so they and raw ones are looked for
// first, and xmllint checks the whole file where it is installed.
inline bool ParseXml(pugi::xml_document& doc, const std::string& text) {
    if (XmlSafeText(text) != text) {
        ADD_FAILURE() << "a character XML forbids";
        return false;
    }
    for (std::size_t at = text.find("&#"); at != std::string::npos; at = text.find("&#", at + 2)) {
        const bool hex = at + 2 < text.size() && text[at + 2] == 'x';
        const unsigned long code = std::strtoul(text.c_str() + at + 2 + (hex ? 1 : 0), nullptr, hex ? 16 : 10);
        if (!IsXmlChar(static_cast<char32_t>(code))) {
            ADD_FAILURE() << "a reference XML forbids: " << text.substr(at, 10);
            return false;
        }
    }
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype)) return false;
    EXPECT_TRUE(XmllintAccepts(text));
    return true;
}

// A checked-in fixture file, found through the source folder the test runner names.
inline std::string Fixture(const std::string& name) {
    const char* src = std::getenv("MILVANE_TEST_SOURCE");
    for (const std::string& folder : {std::string(src ? src : ".") + "/tests/exchange", std::string("tests/exchange")})
        if (std::filesystem::exists(folder + "/fixtures/" + name)) return folder + "/fixtures/" + name;
    ADD_FAILURE() << "fixture not found: " << name;
    return name;
}

// The damaged workbooks of fixtures/damaged that once ended the program, and
// the message their import ends with instead.
struct DamagedWorkbook {
    const char* file;
    const char* message;
};
inline constexpr DamagedWorkbook kDamagedWorkbooks[] = {
    {"xlsx-date-cell-short-value.xlsx", "Sを読み込めませんでした。"},
    {"xlsx-two-far-cells.xlsx", "Sを読み込めませんでした。"},
    {"xlsx-member-size-2gib.xlsx", "Sを読み込めませんでした。"},
    {"xls-sst-string-flags.xls", "xls-sst-string-flags.xlsを読み込めませんでした。"},
};
