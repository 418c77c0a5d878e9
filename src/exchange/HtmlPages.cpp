// CXmlConv::WriteHtml: index.htm and one XHTML page per customer.
#include <filesystem>
#include <system_error>

#include "common/Archive.h"
#include "common/DateTime.h"
#include "common/Folders.h"
#include "customers/Kokyaku.h"
#include "exchange/Export.h"
#include "exchange/XmlConv.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPictureFolder = "pictures";

std::string Head(const std::string& title) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
           "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ja\" lang=\"ja\">\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\n<title>" +
           HtmlEscape(title) +
           "</title>\n<style type=\"text/css\">table{border-collapse:collapse}"
           "th,td{border:1px solid #999;padding:2px 6px;text-align:left;vertical-align:top}"
           "td.text{white-space:pre-wrap}img{max-width:320px}</style>\n</head>\n<body>\n";
}

constexpr const char* kTail = "</body>\n</html>\n";

std::string Link(const std::string& href, const std::string& text) {
    return "<a href=\"" + HtmlEscape(href) + "\">" + HtmlEscape(text) + "</a>";
}

// Links the person may follow: web addresses and mail addresses; others stay text.
std::string ValueHtml(std::string_view field, const std::string& value) {
    if (field.starts_with("URL") && (value.starts_with("http://") || value.starts_with("https://")))
        return Link(PercentEncode(value, ":/?#[]@!$&'()*+,;=%"), value);
    if (field.starts_with("EMail") && !value.empty()) return Link("mailto:" + PercentEncode(value, "@"), value);
    return HtmlEscape(value);
}

std::string PictureHtml(const std::string& name) {
    const std::string src = std::string(kPictureFolder) + "/" + PercentEncode(name);
    return "<a href=\"" + HtmlEscape(src) + "\"><img src=\"" + HtmlEscape(src) + "\" alt=\"" + HtmlEscape(name) +
           "\" /></a>";
}

// Copies a picture of the data into the pages' folder; a missing one is left out.
bool CopyPicture(const std::string& pictureFolder, const std::string& outFolder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return false;
    const std::string source = JoinPath(pictureFolder, ResolveSjisName(pictureFolder, name));
    if (!FileExists(source)) return false;
    std::error_code ec;
    const std::string folder = JoinPath(outFolder, kPictureFolder);
    fs::create_directories(folder, ec);
    fs::copy_file(source, JoinPath(folder, name), fs::copy_options::overwrite_existing, ec);
    return !ec;
}

std::string HistoryTable(const CRirekiList& list, const std::string& pictureFolder, const std::string& outFolder) {
    std::string html = "<h2>履歴</h2>\n";
    if (list.empty()) return html + "<p>履歴はありません。</p>\n";
    html += "<table>\n<tr><th>日付</th><th>概要</th><th>詳細</th><th>キーワード</th><th>金額</th><th>担当者</th>"
            "<th>画像</th></tr>\n";
    for (const auto& r : list) {
        if (!r) continue;
        html += "<tr><td>" + HtmlEscape(r->Date.Format("%Y/%m/%d")) + "</td><td>" + HtmlEscape(r->ActionTitle) +
                "</td><td class=\"text\">" + HtmlEscape(r->Action) + "</td><td>" + HtmlEscape(r->Keyword) +
                "</td><td>" + HtmlEscape(FormatAmount(r->Money)) + "</td><td>" + HtmlEscape(r->TantouName) +
                "</td><td>" + (CopyPicture(pictureFolder, outFolder, r->Picture) ? PictureHtml(r->Picture) : "") +
                "</td></tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            case '\r': break;
            default: out += c;
        }
    }
    return out;
}

std::string PercentEncode(std::string_view text, std::string_view keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '.' || c == '_' || c == '~' || (c < 0x80 && keep.find(static_cast<char>(c)) != keep.npos);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string CustomerPageName(std::size_t index) { return "customer" + std::to_string(index + 1) + ".htm"; }

std::string CXmlConv::Label(std::string_view fieldName) const {
    for (const CMLVCol& c : m_columns)
        if (c.fieldName == fieldName) return c.label;
    return std::string(fieldName);
}

int CXmlConv::WriteHtml(int form, const std::string& outFolder, const std::string& pictureFolder,
                        const std::vector<const CKokyaku*>& customers, const std::vector<CRirekiList>& histories) {
    if (!FolderExists(outFolder)) return 0;
    static const CRirekiList kNoHistory;
    std::string index = Head("顧客一覧") + "<h1>顧客一覧</h1>\n<table>\n<tr><th>" + HtmlEscape(Label("CustomerID")) +
                        "</th><th>" + HtmlEscape(Label("Name")) + "</th><th>" + HtmlEscape(Label("CompName")) +
                        "</th><th>" + HtmlEscape(Label("TEL_Home")) + "</th></tr>\n";
    for (std::size_t i = 0; i < customers.size(); ++i) {
        const CKokyaku& k = *customers[i];
        const std::string page = CustomerPageName(i);
        index += "<tr><td>" + HtmlEscape(k.CustomerID) + "</td><td>" +
                 Link(PercentEncode(page), k.Name.empty() ? std::string("（氏名なし）") : k.Name) + "</td><td>" +
                 HtmlEscape(k.CompName) + "</td><td>" + HtmlEscape(k.TEL_Home) + "</td></tr>\n";

        std::string html = Head(k.Name) + "<p>" + Link("index.htm", "顧客一覧へ") + "</p>\n<h1>" +
                           HtmlEscape(k.Name) + "</h1>\n<table>\n";
        std::string pictures;
        for (const KokyakuField& f : KokyakuFields()) {
            if (f.flags & kFieldPicture) {
                const std::string& name = f.Text(k);
                if (CopyPicture(pictureFolder, outFolder, name)) pictures += PictureHtml(name) + "\n";
                continue;
            }
            if (!f.IsUserField() || !IsExportableColumn(f.name)) continue;
            html += "<tr><th>" + HtmlEscape(Label(f.name)) + "</th><td class=\"text\">" +
                    ValueHtml(f.name, ExportCellText(k, f.name)) + "</td></tr>\n";
        }
        html += "</table>\n";
        if (!pictures.empty()) html += "<h2>画像</h2>\n<p>\n" + pictures + "</p>\n";
        if (form == 1)
            html += HistoryTable(i < histories.size() ? histories[i] : kNoHistory, pictureFolder, outFolder);
        html += kTail;
        if (!WriteWholeFileAtomic(JoinPath(outFolder, page), html)) return 0;
    }
    index += "</table>\n";
    index += kTail;
    return WriteWholeFileAtomic(JoinPath(outFolder, "index.htm"), index) ? 1 : 0;
}
