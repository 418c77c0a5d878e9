#include "exchange/ExchangeFormat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "exchange/Formats.h"

namespace {

std::string FilterOf(const std::string& name, const std::vector<std::string>& list) {
    if (name.empty()) return std::string();
    std::string patterns;
    for (const std::string& p : list) patterns += (patterns.empty() ? "" : " ") + p;
    return name + "(" + patterns + ")";
}

}  // namespace

std::string CExchangeFormat::Filter() const { return FilterOf(FilterName(), Patterns()); }
std::string CExchangeFormat::ReadFilter() const { return FilterOf(FilterName(), ReadPatterns()); }

std::string CExchangeFormat::WithDefaultExtension(const std::string& path) const {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || name.find('.') != std::string_view::npos || *Extension() == '\0') return path;
    return path + "." + Extension();
}

bool CExchangeFormat::WriteRows(const std::string&, const ExchangeTable&) { return Fail(kCannotCreateFile); }

bool CExchangeFormat::WriteRows(const std::string& path, const ExchangeRowSource& next) {
    ExchangeTable table;
    int step;
    for (std::vector<std::string> row; (step = next(row)) > 0; row.clear()) table.push_back(std::move(row));
    if (step < 0) return Fail(kRowsUnreadable);
    return WriteRows(path, table);
}

bool CExchangeFormat::WriteRecords(const std::string&, std::span<const CKokyaku* const>, const std::string&) {
    return Fail(kCannotCreateFile);
}

std::span<CExchangeFormat* const> ExchangeFormats() {
    static CDesktopDbFormat desktopDb;
    static CWorkbookFormat workbook;
    static CTextFormat text;
    static CContactXmlFormat contactXml;
    static const std::array<CExchangeFormat*, 4> table = {&desktopDb, &workbook, &text, &contactXml};
    return table;
}

std::vector<CExchangeFormat*> WritableFormats() {
    std::vector<CExchangeFormat*> out;
    for (CExchangeFormat* f : ExchangeFormats())
        if (f->CanWrite()) out.push_back(f);
    return out;
}

CExchangeFormat* FindExchangeFormat(std::string_view name) {
    for (CExchangeFormat* f : ExchangeFormats())
        if (name == f->Name()) return f;
    return nullptr;
}

// ---------------------------------------------------------------- replacing file

CReplacingFile::CReplacingFile(std::string target) : m_target(std::move(target)) {}

CReplacingFile::~CReplacingFile() {
    if (!m_done && !m_temp.empty()) ::unlink(m_temp.c_str());
}

bool CReplacingFile::Create() {
    const std::size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : m_target.substr(0, slash);
    const std::string name = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
    std::string temp = folder + "/." + name + ".tmp-XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    m_temp = std::move(temp);
    return true;
}

bool CReplacingFile::Commit() {
    if (m_temp.empty() || m_done) return false;
    // mkostemp gives 0600; a written file gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::chmod(m_temp.c_str(), 0666 & ~mask) == 0 && ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    if (ok) m_done = true;
    return ok;
}
