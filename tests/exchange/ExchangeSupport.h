// Customers and file readers shared by the exchange tests.
#pragma once

#include <pugixml.hpp>
#include <zip.h>

#include <memory>
#include <string>
#include <vector>

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

inline bool ParseXml(pugi::xml_document& doc, const std::string& text) {
    return doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype);
}
