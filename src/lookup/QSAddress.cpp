#include "lookup/QSAddress.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "common/Archive.h"
#include "common/Folders.h"

void CQSAddress::Serialize(CArchiveWriter& w) const {
    w.WriteInt32(state);
    w.WriteInt32(last);
    w.WriteString(texts[0]);
    w.WriteString(texts[1]);
    w.WriteString(texts[2]);
    w.WriteInt32(value1);
    w.WriteInt32(value2);
    for (int i = 3; i < 7; ++i) w.WriteString(texts[i]);
}

void CQSAddress::Deserialize(CArchiveReader& r) {
    state = r.ReadInt32();
    last = r.ReadInt32();
    texts[0] = r.ReadString();
    texts[1] = r.ReadString();
    texts[2] = r.ReadString();
    value1 = r.ReadInt32();
    value2 = r.ReadInt32();
    for (int i = 3; i < 7; ++i) texts[i] = r.ReadString();
}

bool SameAddress(const CQSAddress& a, const CQSAddress& b) {
    if (a.value1 != b.value1 || a.value2 != b.value2) return false;
    for (int i = 0; i < 7; ++i)
        if (a.texts[i] != b.texts[i]) return false;
    return true;
}

bool IsPhoneText(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c != '\0' && std::strchr(kPhoneChars, c) != nullptr;
    });
}

std::string PhoneDigits(std::string_view text) {
    std::string d;
    for (char c : text)
        if (c >= '0' && c <= '9') d.push_back(c);
    return d;
}

void WriteAddressList(CArchiveWriter& w, const std::vector<CQSAddress>& list) {
    w.WriteCount(list.size());
    for (const CQSAddress& a : list) {
        w.WriteObjectTag(CQSAddress::kClassName, CQSAddress::kSchema);
        a.Serialize(w);
    }
}

std::vector<CQSAddress> ReadAddressList(CArchiveReader& r) {
    std::vector<CQSAddress> list;
    const std::size_t n = r.ReadCount();
    for (std::size_t i = 0; i < n; ++i) {
        if (!r.ReadObjectTag(CQSAddress::kClassName, CQSAddress::kSchema)) continue;  // a null entry
        CQSAddress a;
        a.Deserialize(r);
        list.push_back(std::move(a));
    }
    if (!r.AtEnd()) throw ArchiveError("trailing bytes");
    return list;
}

// ---------------------------------------------------------------- user dictionary

bool CUserTelDict::Load(const std::string& folder) {
    m_folder = folder;
    m_loaded = false;
    m_added.clear();
    m_deleted.clear();
    std::vector<CQSAddress> added, deleted;
    for (auto [name, list] : {std::pair{kUserAddFile, &added}, std::pair{kUserDelFile, &deleted}}) {
        const FileResult r =
            TryReadArchiveFile(folder + "/" + name, [list = list](CArchiveReader& rd) { *list = ReadAddressList(rd); });
        if (r == FileResult::Error) return false;
    }
    m_added = std::move(added);
    m_deleted = std::move(deleted);
    m_loaded = true;
    return true;
}

bool CUserTelDict::Save() const {
    if (!m_loaded || m_folder.empty()) return false;
    std::error_code ec;
    if (!FolderExists(m_folder) && !std::filesystem::create_directories(m_folder, ec)) return false;
    for (auto [name, list] : {std::pair{kUserAddFile, &m_added}, std::pair{kUserDelFile, &m_deleted}}) {
        const FileResult r =
            TryWriteArchiveFile(m_folder + "/" + name, [list = list](CArchiveWriter& w) { WriteAddressList(w, *list); });
        if (r != FileResult::Ok) return false;
    }
    return true;
}

void CUserTelDict::Add(const CQSAddress& entry) {
    CQSAddress copy = entry;
    copy.state = 0;
    auto del = std::find_if(m_deleted.begin(), m_deleted.end(), [&](const CQSAddress& d) { return SameAddress(d, copy); });
    if (del != m_deleted.end()) {
        m_deleted.erase(del);
        return;
    }
    if (std::none_of(m_added.begin(), m_added.end(), [&](const CQSAddress& a) { return SameAddress(a, copy); }))
        m_added.push_back(std::move(copy));
}

void CUserTelDict::Delete(const CQSAddress& entry) {
    auto added = std::find_if(m_added.begin(), m_added.end(), [&](const CQSAddress& a) { return SameAddress(a, entry); });
    if (added != m_added.end()) {
        m_added.erase(added);
        return;
    }
    if (std::none_of(m_deleted.begin(), m_deleted.end(), [&](const CQSAddress& d) { return SameAddress(d, entry); })) {
        CQSAddress copy = entry;
        copy.state = 0;
        m_deleted.push_back(std::move(copy));
    }
}

std::vector<CQSAddress> CUserTelDict::Merge(std::vector<CQSAddress> hits, std::string_view phone) const {
    const std::string key = PhoneDigits(phone);
    for (const CQSAddress& a : m_added) {
        if (key.empty() || PhoneDigits(a.Phone()) != key) continue;
        if (std::none_of(hits.begin(), hits.end(), [&](const CQSAddress& h) { return SameAddress(h, a); }))
            hits.push_back(a);
    }
    std::erase_if(hits, [&](const CQSAddress& h) {
        return std::any_of(m_deleted.begin(), m_deleted.end(), [&](const CQSAddress& d) { return SameAddress(d, h); });
    });
    return hits;
}
