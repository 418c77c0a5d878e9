#include "printing/UserForms.h"

#include <algorithm>
#include <cstdio>

#include "common/Archive.h"
#include "common/Folders.h"
#include "printing/DispPrev.h"

std::string UserFormListPath(const std::string& installDir) { return JoinPath(installDir, "Data/MyData/Original.dat"); }
std::string UserFormNumberPath(const std::string& installDir) { return JoinPath(installDir, "Data/Org/OrgNum.dat"); }
std::string UserFormPath(const std::string& installDir, int32_t number) {
    return JoinPath(installDir, "Data/Org/" + std::to_string(number) + ".org");
}

std::vector<CUserFormEntry> ReadUserForms(const std::string& installDir) {
    std::vector<CUserFormEntry> forms;
    FileResult r = TryReadArchiveFile(UserFormListPath(installDir), [&](CArchiveReader& ar) {
        size_t n = ar.ReadCount();
        for (size_t i = 0; i < n; ++i) {
            CUserFormEntry e;
            e.name = ar.ReadString();
            e.number = ar.ReadInt32();
            forms.push_back(std::move(e));
        }
    });
    if (r != FileResult::Ok) forms.clear();
    return forms;
}

bool WriteUserForms(const std::string& installDir, const std::vector<CUserFormEntry>& forms) {
    EnsureFolder(JoinPath(installDir, "Data/MyData"), true, false);
    return TryWriteArchiveFile(UserFormListPath(installDir), [&](CArchiveWriter& ar) {
               ar.WriteCount(forms.size());
               for (const CUserFormEntry& e : forms) {
                   ar.WriteString(e.name);
                   ar.WriteInt32(e.number);
               }
           }) == FileResult::Ok;
}

int32_t TakeUserFormNumber(const std::string& installDir) {
    int32_t next = kFirstUserForm;
    TryReadArchiveFile(UserFormNumberPath(installDir), [&](CArchiveReader& ar) { next = ar.ReadInt32(); });
    next = std::max(next, kFirstUserForm);
    EnsureFolder(JoinPath(installDir, "Data/Org"), true, false);
    TryWriteArchiveFile(UserFormNumberPath(installDir), [&](CArchiveWriter& ar) { ar.WriteInt32(next + 1); });
    return next;
}

bool DelPickUp(const std::string& installDir, int32_t number) {
    auto forms = ReadUserForms(installDir);
    auto it = std::find_if(forms.begin(), forms.end(), [&](const CUserFormEntry& e) { return e.number == number; });
    if (it == forms.end()) return false;
    forms.erase(it);
    return WriteUserForms(installDir, forms);
}

int32_t SaveUserFormCopy(const std::string& installDir, const CFormLayout& layout, const std::string& name,
                         double dx, double dy) {
    CFormLayout copy = layout;
    copy.second = layout.number >= kFirstUserForm ? layout.second : layout.number;
    copy.title = name;
    if (copy.IsLabelSheet()) {
        copy.left += dx;
        copy.top += dy;
    } else {
        for (CFormItem& item : copy.items) {
            if (item.kind == FormItemKind::Postal) continue;  // the boxes are printed on the card
            item.x += dx;
            item.y += dy;
        }
    }
    copy.number = TakeUserFormNumber(installDir);
    if (!WriteWholeFileAtomic(UserFormPath(installDir, copy.number), FormLayoutXml(copy))) return 0;
    auto forms = ReadUserForms(installDir);
    forms.push_back({name, copy.number});
    if (!WriteUserForms(installDir, forms)) {
        std::remove(UserFormPath(installDir, copy.number).c_str());
        return 0;
    }
    return copy.number;
}
