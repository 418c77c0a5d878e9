// The ContactXML 1.1 form of customer records (docs/contactxml.md).
#pragma once

#include <span>
#include <string>

#include "customers/Kokyaku.h"

inline constexpr const char* kContactXmlNamespace = "http://www.xmlns.org/2002/ContactXML";
inline constexpr const char* kContactXmlCreator = "Milvane";

// A customer field written by a standard element. Fields with an item are
// written generically as <group><item typeAttribute="type"
// locationType="location">value</item>; the others (names, organisation,
// postal codes) have their own elements.
struct ContactXmlStandardField {
    const char* field;
    const char* group;
    const char* item;
    const char* typeAttribute;
    const char* type;
    const char* location;
    int mailSlot;  // 1..5 for EMail1..EMail5: "CommonMail" marks it preference="True"
};
std::span<const ContactXmlStandardField> ContactXmlStandardFields();

// The whole file (UTF-8) for the customers.
std::string ContactXmlText(std::span<const CKokyaku* const> customers);

// The customers of a ContactXML file, the export mapping reversed
// (docs/contactxml.md). Picture items become full paths of the files found in
// pictureSource (a missing file is dropped). False when the text is not a
// ContactXML document or holds more than kMaxImportRecords customers; records
// then stay as they were.
bool ParseContactXml(const std::string& text, const std::string& pictureSource, CKokyakuList& records);
