#include <pugixml.hpp>

#include <filesystem>
#include <sstream>
#include <system_error>

#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "exchange/ContactXml.h"
#include "exchange/Formats.h"
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
            const std::string source = JoinPath(pictureFolder, *name);
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
