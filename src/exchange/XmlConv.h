// The XML conversions of customer data: ContactXML files and HTML pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "customers/Kokyaku.h"
#include "customers/MLVColSet.h"
#include "history/RirekiData.h"

struct CKokyaku;

class CXmlConv {
public:
    // columns: the column catalogue, for the labels of the HTML pages (a
    // field missing from it is labelled by its name).
    explicit CXmlConv(std::vector<CMLVCol> columns = {}) : m_columns(std::move(columns)) {}

    // Asks for the file with a save dialog of its own and writes the customers
    // as ContactXML, their pictures beside it. 1 written; 0 cancelled; -1
    // failed, after showing the reason.
    int WriteXML(const std::vector<const CKokyaku*>& customers, const std::string& pictureFolder);
    // Asks for a ContactXML file with an open dialog of its own and appends
    // its customers, their picture fields holding the full paths of the files
    // beside it. 1 read; 0 cancelled; -1 failed, after showing the reason.
    int ReadXML(CKokyakuList& records);

    // Writes "index.htm" listing the customers and one page per customer
    // into outFolder, the pictures into its "pictures" folder. form 0:
    // customers only; 1: each page also lists the customer's history
    // (histories: one list per customer, in the same order; a missing entry
    // counts as empty). 1 on success, 0 on failure.
    int WriteHtml(int form, const std::string& outFolder, const std::string& pictureFolder,
                  const std::vector<const CKokyaku*>& customers, const std::vector<CRirekiList>& histories);

private:
    std::string Label(std::string_view fieldName) const;

    std::vector<CMLVCol> m_columns;
};

// Text for XHTML content and attribute values: & < > " ' as references.
std::string HtmlEscape(std::string_view text);
// Percent-encoding of every byte but the unreserved ones (letters, digits,
// "-", ".", "_", "~") and those listed in keep.
std::string PercentEncode(std::string_view text, std::string_view keep = "");
// The name of the page of the customer at position index (from 0).
std::string CustomerPageName(std::size_t index);
