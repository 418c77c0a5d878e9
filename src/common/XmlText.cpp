#include "common/XmlText.h"

#include <pugixml.hpp>

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::string XmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > text.size()) {  // not UTF-8: drop the byte
            ++i;
            continue;
        }
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        bool valid = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (t & 0x3F);
        }
        // Overlong forms are not UTF-8 either.
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valid || c < kMin[len]) {
            ++i;
            continue;
        }
        if (IsXmlChar(c)) out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

namespace {

// Replaces the value only when it changes, so clean documents are not copied.
template <typename Node>
void Clean(Node n, const char* value) {
    const std::string_view v(value);
    const std::string safe = XmlSafeText(v);
    if (safe.size() != v.size()) n.set_value(safe.c_str());
}

}  // namespace

void MakeXmlTreeSafe(pugi::xml_node node) {
    for (pugi::xml_node n = node; n;) {
        Clean(n, n.value());
        for (pugi::xml_attribute a : n.attributes()) Clean(a, a.value());
        // Depth first, without recursion.
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != node && !n.next_sibling()) n = n.parent();
        if (!n || n == node) break;
        n = n.next_sibling();
    }
}
