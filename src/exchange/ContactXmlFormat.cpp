#include <pugixml.hpp>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "exchange/ContactXml.h"
#include "exchange/Formats.h"
#include "exchange/Import.h"
#include "exchange/XmlConv.h"

namespace fs = std::filesystem;

namespace {

using Node = pugi::xml_node;

// The fields written by standard elements; every other entered field (but
// "CommonMail", which marks the preferred address) is an "X-" extension item.
bool IsStandardField(std::string_view name) {
    for (const ContactXmlStandardField& f : ContactXmlStandardFields())
        if (name == f.field) return true;
    return name == "CommonMail";
}

void AddText(Node parent, const char* element, const std::string& text) {
    parent.append_child(element).text().set(text.c_str());
}

// <group><item ...>: the item, appending the group when the parent lacks it.
Node Item(Node record, const char* group, const char* item) {
    Node g = record.child(group);
    if (!g) g = record.append_child(group);
    return g.append_child(item);
}

void WriteRecord(Node list, const CKokyaku& k) {
    Node rec = list.append_child("ContactXMLItem");

    Node name = Item(rec, "PersonName", "PersonNameItem");
    Node full = name.append_child("FullName");
    full.text().set(k.Name.c_str());
    if (!k.Yomi.empty()) full.append_attribute("pronunciation") = k.Yomi.c_str();

    if (!k.CompName.empty() || !k.CompYomi.empty() || !k.Section.empty() || !k.Post.empty()) {
        Node occ = Item(rec, "Occupation", "OccupationItem");
        Node org = occ.append_child("OrganizationName");
        org.text().set(k.CompName.c_str());
        if (!k.CompYomi.empty()) org.append_attribute("pronunciation") = k.CompYomi.c_str();
        if (!k.Section.empty()) AddText(occ, "Department", k.Section);
        if (!k.Post.empty()) AddText(occ, "JobTitle", k.Post);
    }

    struct Place {
        const char* location;
        const std::string &zip, &a1, &a2, &a3;
    };
    for (const Place& p : {Place{"Home", k.Zip_Home, k.Add1_Home, k.Add2_Home, k.Add3_Home},
                           Place{"Office", k.Zip_Office, k.Add1_Office, k.Add2_Office, k.Add3_Office}}) {
        if (p.zip.empty() && p.a1.empty() && p.a2.empty() && p.a3.empty()) continue;
        Node a = Item(rec, "Address", "AddressItem");
        a.append_attribute("locationType") = p.location;
        if (!p.zip.empty()) {
            Node code = a.append_child("AddressCode");
            code.append_attribute("codeDomain") = "ZIP7";
            code.text().set(p.zip.c_str());
        }
        AddText(a, "FullAddress", p.a1 + p.a2 + p.a3);
    }

    const int preferred = k.CommonMail;
    int slot = 0;
    for (const ContactXmlStandardField& f : ContactXmlStandardFields()) {
        ++slot;
        const std::string& value = FindKokyakuField(f.field)->Text(k);
        if (value.empty() || !f.item) continue;
        Node item = Item(rec, f.group, f.item);
        if (f.type) item.append_attribute(f.typeAttribute) = f.type;
        item.append_attribute("locationType") = f.location;
        if (f.mailSlot && f.mailSlot == preferred) item.append_attribute("preference") = "True";
        item.text().set(value.c_str());
    }

    for (const KokyakuField& f : KokyakuFields()) {
        if (!f.IsUserField() || IsStandardField(f.name)) continue;
        const std::string value = f.ValueText(k);
        if (value.empty()) continue;
        Node x = Item(rec, "Extension", "ExtensionItem");
        x.append_attribute("extensionType") = "Extended";
        x.append_attribute("name") = (std::string("X-") + f.name).c_str();
        x.text().set(value.c_str());
    }
}

struct StringWriter final : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

}  // namespace

std::span<const ContactXmlStandardField> ContactXmlStandardFields() {
    // Entries without an item are written by their own code above.
    static constexpr ContactXmlStandardField fields[] = {
        {"Name", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"Yomi", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"CompName", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"CompYomi", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"Section", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"Post", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"Zip_Home", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"Zip_Office", nullptr, nullptr, nullptr, nullptr, nullptr, 0},
        {"TEL_Home", "Phone", "PhoneItem", "phoneType", "Phone", "Home", 0},
        {"FAX_Home", "Phone", "PhoneItem", "phoneType", "Fax", "Home", 0},
        {"CellPhone1", "Phone", "PhoneItem", "phoneType", "Cellular", "Home", 0},
        {"TEL_Office", "Phone", "PhoneItem", "phoneType", "Phone", "Office", 0},
        {"FAX_Office", "Phone", "PhoneItem", "phoneType", "Fax", "Office", 0},
        {"CellPhone2", "Phone", "PhoneItem", "phoneType", "Cellular", "Office", 0},
        {"EMail1", "Email", "EmailItem", nullptr, nullptr, "Home", 1},
        {"EMail2", "Email", "EmailItem", nullptr, nullptr, "Home", 2},
        {"EMail3", "Email", "EmailItem", nullptr, nullptr, "Home", 3},
        {"EMail4", "Email", "EmailItem", nullptr, nullptr, "Office", 4},
        {"EMail5", "Email", "EmailItem", nullptr, nullptr, "Office", 5},
        {"URL1", "Web", "WebItem", nullptr, nullptr, "Home", 0},
        {"URL2", "Web", "WebItem", nullptr, nullptr, "Office", 0},
    };
    return fields;
}

std::string ContactXmlText(std::span<const CKokyaku* const> customers) {
    pugi::xml_document doc;
    Node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    Node root = doc.append_child("ContactXML");
    root.append_attribute("xmlns") = kContactXmlNamespace;
    root.append_attribute("contactXMLVersion") = "1.1";
    root.append_attribute("creator") = kContactXmlCreator;
    for (const CKokyaku* k : customers) WriteRecord(root, *k);
    StringWriter w;
    doc.save(w, "  ", pugi::format_default, pugi::encoding_utf8);
    return w.out;
}

std::string CContactXmlFormat::PictureFolderFor(const std::string& xmlPath) {
    fs::path p(xmlPath);
    return (p.parent_path() / (p.stem().string() + "_pictures")).string();
}

bool CContactXmlFormat::WriteRecords(const std::string& path, std::span<const CKokyaku* const> customers,
                                     const std::string& pictureFolder) {
    ClearError();
    const std::string pictures = PictureFolderFor(path);
    for (const CKokyaku* k : customers) {
        for (const std::string* name : {&k->Picture1, &k->Picture2, &k->Picture3, &k->Picture4, &k->Picture5}) {
            if (name->empty()) continue;
            const std::string source = JoinPath(pictureFolder, ResolveSjisName(pictureFolder, *name));
            if (!FileExists(source)) continue;
            std::error_code ec;
            fs::create_directories(pictures, ec);
            fs::copy_file(source, JoinPath(pictures, *name), fs::copy_options::overwrite_existing, ec);
            if (ec) return Fail(kCannotCreateFile);
        }
    }
    CReplacingFile file(path);
    if (!file.Create()) return Fail(kCannotCreateFile);
    const std::string text = ContactXmlText(customers);
    FILE* f = std::fopen(file.TempPath().c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok || !file.Commit()) return Fail(kCannotCreateFile);
    return true;
}

int CXmlConv::WriteXML(const std::vector<const CKokyaku*>& customers, const std::string& pictureFolder) {
    CExchangeFormat& format = *FindExchangeFormat("contactxml");
    std::optional<std::string> path = Ports::Prompt().ChooseSaveFile("名前を付けて保存", format.Filter(), "");
    if (!path || path->empty()) return 0;
    bool ok;
    {
        WaitScope wait(true);
        ok = format.WriteRecords(format.WithDefaultExtension(*path), customers, pictureFolder);
    }
    if (ok) return 1;
    ShowMessage(format.errorString());
    return -1;
}

// ---------------------------------------------------------------- reading

namespace {

void SetField(CKokyaku& k, const char* field, const char* text) {
    SetImportedValue(k, *FindKokyakuField(field), text);
}

bool Is(const Node& n, const char* attribute, const char* value) {
    return std::strcmp(n.attribute(attribute).value(), value) == 0;
}

void ReadRecord(const Node& rec, const std::string& pictureSource, CKokyaku& k) {
    Node full = rec.child("PersonName").child("PersonNameItem").child("FullName");
    SetField(k, "Name", full.text().get());
    SetField(k, "Yomi", full.attribute("pronunciation").value());

    Node occ = rec.child("Occupation").child("OccupationItem");
    Node org = occ.child("OrganizationName");
    SetField(k, "CompName", org.text().get());
    SetField(k, "CompYomi", org.attribute("pronunciation").value());
    SetField(k, "Section", occ.child("Department").text().get());
    SetField(k, "Post", occ.child("JobTitle").text().get());

    std::string fullAddress[2];
    for (Node a : rec.child("Address").children("AddressItem")) {
        const int place = Is(a, "locationType", "Office") ? 1 : Is(a, "locationType", "Home") ? 0 : -1;
        if (place < 0) continue;
        for (Node code : a.children("AddressCode"))
            if (Is(code, "codeDomain", "ZIP7")) SetField(k, place ? "Zip_Office" : "Zip_Home", code.text().get());
        fullAddress[place] = a.child("FullAddress").text().get();
    }

    // Standard items: the first item of each kind; mail addresses in order.
    std::vector<bool> taken(ContactXmlStandardFields().size(), false);
    int homeMail = 0, officeMail = 0;
    k.CommonMail = 0;
    for (Node group : rec.children()) {
        for (Node item : group.children()) {
            std::size_t i = 0;
            for (const ContactXmlStandardField& f : ContactXmlStandardFields()) {
                const std::size_t index = i++;
                if (!f.item || std::strcmp(item.name(), f.item) != 0 || std::strcmp(group.name(), f.group) != 0) continue;
                if (!Is(item, "locationType", f.location)) continue;
                if (f.type && !Is(item, f.typeAttribute, f.type)) continue;
                if (f.mailSlot) {
                    int& count = f.mailSlot <= 3 ? homeMail : officeMail;
                    const int slot = (f.mailSlot <= 3 ? 1 : 4) + count;
                    if (slot != f.mailSlot) continue;
                    ++count;
                    if (Is(item, "preference", "True")) k.CommonMail = slot;
                } else if (taken[index]) {
                    continue;
                }
                taken[index] = true;
                SetField(k, f.field, item.text().get());
                break;
            }
        }
    }

    bool splitAddress[2] = {false, false};
    for (Node x : rec.child("Extension").children("ExtensionItem")) {
        std::string name = x.attribute("name").value();
        if (!name.starts_with("X-")) continue;
        const KokyakuField* field = FindKokyakuField(name.substr(2));
        if (!field || !field->IsUserField() || IsStandardField(field->name)) continue;
        std::string value = x.text().get();
        if (field->flags & kFieldPicture) {
            const std::string path = JoinPath(pictureSource, value);
            value = !value.empty() && value.find('/') == std::string::npos && FileExists(path) ? path : std::string();
            field->Text(k) = value;
            continue;
        }
        if (!field->SetValueText(k, value)) continue;
        if (name.starts_with("X-Add") && name.ends_with("_Home")) splitAddress[0] = true;
        if (name.starts_with("X-Add") && name.ends_with("_Office")) splitAddress[1] = true;
    }
    if (!splitAddress[0]) SetField(k, "Add3_Home", fullAddress[0].c_str());
    if (!splitAddress[1]) SetField(k, "Add3_Office", fullAddress[1].c_str());
}

}  // namespace

bool ParseContactXml(const std::string& text, const std::string& pictureSource, CKokyakuList& records) {
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size())) return false;
    Node root = doc.child("ContactXML");
    if (!root) return false;
    CKokyakuList read;
    for (Node rec : root.children("ContactXMLItem")) {
        auto k = std::make_unique<CKokyaku>(NewImportedKokyaku());
        ReadRecord(rec, pictureSource, *k);
        read.push_back(std::move(k));
    }
    for (auto& k : read) records.push_back(std::move(k));
    return true;
}

int CXmlConv::ReadXML(CKokyakuList& records) {
    CExchangeFormat& format = *FindExchangeFormat("contactxml");
    std::optional<std::string> path = Ports::Prompt().ChooseOpenFile("ファイルを開く", format.ReadFilter(), "");
    if (!path || path->empty()) return 0;
    std::string text;
    if (!ReadWholeFile(*path, text)) {
        ShowMessage("ファイルの読み込みができませんでした");
        return -1;
    }
    WaitScope wait(true);
    const std::size_t slash = path->rfind('/');
    if (!ParseContactXml(text, CContactXmlFormat::PictureFolderFor(*path), records)) {
        ShowMessage(path->substr(slash == std::string::npos ? 0 : slash + 1) + "を読み込めませんでした。");
        return -1;
    }
    return 1;
}
