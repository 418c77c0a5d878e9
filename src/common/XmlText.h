// The one rule for text in the XML files we write (ContactXML, the XHTML
// pages, the workbook's parts, form layouts): a character XML 1.0 cannot
// hold, even as a reference, is dropped. Those are the control characters
// but tab, line feed and carriage return, U+FFFE and U+FFFF; bytes that are
// not UTF-8 are dropped too. The readers of our files apply the same rule, so
// a file written with such references by an older version still imports.
#pragma once

#include <string>
#include <string_view>

namespace pugi {
class xml_node;
}

// Whether XML 1.0 allows the code point in a document.
bool IsXmlChar(char32_t c);
// text with every character XML 1.0 forbids dropped.
std::string XmlSafeText(std::string_view text);
// Applies XmlSafeText to node and every text and attribute value below it.
void MakeXmlTreeSafe(pugi::xml_node node);
