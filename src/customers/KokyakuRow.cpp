#include "customers/KokyakuRow.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <variant>

// A row's data: one 8-byte slot per kept field (a 32-bit integer; a double,
// NaN for an unset date; or a text's offset and length), then the texts' bytes.

namespace {

constexpr std::size_t kSlot = 8;

const KokyakuField& FieldAt(int index) { return KokyakuFields()[static_cast<std::size_t>(index)]; }

std::vector<int> BaseFields() {
    return {KokyakuFieldIndex("CustomerID"), KokyakuFieldIndex("Name"), KokyakuFieldIndex("CompName")};
}

struct TextRef {
    uint32_t offset, length;
};

// A date as its slot holds it.
double SlotDays(const CDateTime& d) { return d.IsValid() ? d.Days() : std::numeric_limits<double>::quiet_NaN(); }

}  // namespace

// ------------------------------------------------------------------ row

void CKokyakuRow::Prefetch() const {
    // The slots and the first texts.
    for (std::size_t line = 0; line < 4; ++line) __builtin_prefetch(m_data.get() + 64 * line);
}

bool CKokyakuRow::Keeps(int field) const {
    return field >= 0 && static_cast<std::size_t>(field) < m_owner->m_slot.size() &&
           m_owner->m_slot[static_cast<std::size_t>(field)] >= 0;
}

std::string_view CKokyakuRow::CustomerID() const {
    static const int field = KokyakuFieldIndex("CustomerID");
    return Text(field);
}

std::string_view CKokyakuRow::Name() const {
    static const int field = KokyakuFieldIndex("Name");
    return Text(field);
}

std::string_view CKokyakuRow::CompName() const {
    static const int field = KokyakuFieldIndex("CompName");
    return Text(field);
}

char* CKokyakuRow::Slot(int field) const {
    return m_data.get() + kSlot * static_cast<std::size_t>(m_owner->m_slot[static_cast<std::size_t>(field)]);
}

std::string_view CKokyakuRow::Text(int field) const {
    TextRef ref;
    std::memcpy(&ref, Slot(field), sizeof ref);
    return {m_data.get() + ref.offset, ref.length};
}

int32_t CKokyakuRow::Int(int field) const {
    int32_t v;
    std::memcpy(&v, Slot(field), sizeof v);
    return v;
}

double CKokyakuRow::Number(int field) const {
    double v;
    std::memcpy(&v, Slot(field), sizeof v);
    return v;
}

CDateTime CKokyakuRow::Date(int field) const {
    const double days = Number(field);
    return std::isnan(days) ? CDateTime() : CDateTime(days);
}

void CKokyakuRow::Unpack(CKokyaku& k) const {
    k.ID = ID;
    for (int index : m_owner->m_fields) {
        const KokyakuField& f = FieldAt(index);
        if (f.IsText()) {
            f.Text(k).assign(Text(index));
        } else if (f.IsDate()) {
            f.SetDate(k, Date(index));
        } else if (f.IsInt()) {
            f.SetInt(k, Int(index));
        } else {
            f.SetNumber(k, Number(index));
        }
    }
}

const CKokyaku* CKokyakuRow::Record() const {
    if (m_full) return m_full.get();
    IKokyakuSource* source = m_owner ? m_owner->m_source : nullptr;
    if (!source) return nullptr;
    auto rec = std::make_unique<CKokyaku>();
    if (!source->ReadKokyaku(ID, *rec)) return nullptr;
    m_full = std::move(rec);
    return m_full.get();
}

// ------------------------------------------------------------------ rows

uint64_t CKokyakuRows::NextVersion() {
    // From one counter for all lists, so that no two lists share a version.
    static std::atomic<uint64_t> versions{0};
    return ++versions;
}

void CKokyakuRows::Touch() {
    m_version = NextVersion();
    m_log.clear();
    m_logFrom = m_version;
}

void CKokyakuRows::Touch(const CKokyakuRow& row) {
    m_version = NextVersion();
    if (m_log.size() >= kLogged) {
        m_log.clear();
        m_logFrom = m_version;
    } else {
        m_log.emplace_back(m_version, row.m_serial);
    }
}

bool CKokyakuRows::ChangedSince(uint64_t version, std::vector<uint32_t>& serials) const {
    serials.clear();
    if (version < m_logFrom || version > m_version) return false;
    for (auto it = m_log.rbegin(); it != m_log.rend() && it->first > version; ++it) serials.push_back(it->second);
    return true;
}

CKokyakuRows::CKokyakuRows() : m_slot(KokyakuFields().size(), -1) {
    std::vector<int> fields = BaseFields();
    std::sort(fields.begin(), fields.end());
    SetLayout(std::move(fields));
    Touch();
}

CKokyakuRows::~CKokyakuRows() = default;

std::vector<int> CKokyakuRows::FieldsOf(const std::vector<std::string>& names) {
    std::vector<int> out;
    auto add = [&](std::string_view name) {
        const int index = KokyakuFieldIndex(name);
        if (index > 0) out.push_back(index);
    };
    for (const std::string& name : names) {
        if (const std::array<int, 3>* parts = JoinedAddressParts(name)) {
            out.insert(out.end(), parts->begin(), parts->end());
        } else if (name == "CommonMail") {
            add(name);
            for (const char* mail : {"EMail1", "EMail2", "EMail3", "EMail4", "EMail5"}) add(mail);
        } else {
            add(name);
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::unique_ptr<char[]> CKokyakuRows::Pack(const CKokyaku& k, const std::vector<int>& fields) {
    std::size_t size = kSlot * fields.size();
    for (int index : fields)
        if (const KokyakuField& f = FieldAt(index); f.IsText()) size += f.Text(k).size();
    auto data = std::make_unique<char[]>(size);
    char* slot = data.get();
    std::size_t text = kSlot * fields.size();
    for (int index : fields) {
        const KokyakuField& f = FieldAt(index);
        if (f.IsText()) {
            const std::string& s = f.Text(k);
            const TextRef ref{static_cast<uint32_t>(text), static_cast<uint32_t>(s.size())};
            std::memcpy(slot, &ref, sizeof ref);
            std::memcpy(data.get() + text, s.data(), s.size());
            text += s.size();
        } else if (f.IsDate()) {
            const double days = SlotDays(f.Date(k));
            std::memcpy(slot, &days, sizeof days);
        } else if (f.IsInt()) {
            const int32_t v = f.Int(k);
            std::memcpy(slot, &v, sizeof v);
        } else {
            const double v = f.Number(k);
            std::memcpy(slot, &v, sizeof v);
        }
        slot += kSlot;
    }
    return data;
}

std::unique_ptr<CKokyakuRow> CKokyakuRows::MakeRow(const CKokyaku& k) const {
    auto row = std::make_unique<CKokyakuRow>();
    row->ID = k.ID;
    row->m_serial = m_nextSerial++;
    row->m_owner = this;
    row->m_data = Pack(k, m_fields);
    return row;
}

bool CKokyakuRows::Keep(const std::vector<std::string>& names) {
    std::vector<int> added;
    for (int index : FieldsOf(names))
        if (m_slot[static_cast<std::size_t>(index)] < 0) added.push_back(index);
    if (added.empty()) return true;
    std::vector<int> fields = m_fields;
    fields.insert(fields.end(), added.begin(), added.end());
    std::sort(fields.begin(), fields.end());

    // The rows' values under the new layout are made aside, so that a failed
    // read leaves the rows as they were.
    // Rows with their whole record take the values from it.
    std::vector<std::unique_ptr<char[]>> repacked(m_rows.size());
    std::unordered_map<int32_t, std::size_t> position;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i]->m_full) repacked[i] = Pack(*m_rows[i]->m_full, fields);
        else position.emplace(m_rows[i]->ID, i);
    }
    if (!position.empty()) {
        if (!m_source) return false;
        CKokyaku scratch;
        std::size_t seen = 0;
        const bool read = m_source->ReadKokyakuFields(added, [&](const CKokyaku& k) {
            auto it = position.find(k.ID);
            if (it == position.end() || repacked[it->second]) return;
            m_rows[it->second]->Unpack(scratch);
            for (int index : added)
                std::visit([&](auto member) { scratch.*member = k.*member; }, FieldAt(index).member);
            repacked[it->second] = Pack(scratch, fields);
            ++seen;
        });
        if (!read || seen != position.size()) return false;
    }
    SetLayout(std::move(fields));
    for (std::size_t i = 0; i < m_rows.size(); ++i) m_rows[i]->m_data = std::move(repacked[i]);
    Touch();
    return true;
}

void CKokyakuRows::SetLayout(std::vector<int> fields) {
    m_fields = std::move(fields);
    std::fill(m_slot.begin(), m_slot.end(), -1);
    for (std::size_t i = 0; i < m_fields.size(); ++i) m_slot[static_cast<std::size_t>(m_fields[i])] = static_cast<int>(i);
}

void CKokyakuRows::clear() {
    Touch();
    m_nextSerial = 0;  // no row is left to hold one
    m_rows.clear();
    m_byKey.clear();
}

void CKokyakuRows::Adopt(Storage rows) {
    Touch();
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        m_rows.reserve(m_rows.size() + rows.size());
        for (auto& r : rows) m_rows.push_back(std::move(r));
    }
    m_byKey.clear();
}

const CKokyakuRow& CKokyakuRows::Insert(Storage::iterator at, std::unique_ptr<CKokyaku> record) {
    auto row = MakeRow(*record);
    row->m_full = std::move(record);
    CKokyakuRow& placed = **m_rows.insert(at, std::move(row));
    Touch(placed);
    if (!m_byKey.empty()) m_byKey[placed.ID] = &placed;
    return placed;
}

const CKokyakuRow& CKokyakuRows::Append(std::unique_ptr<CKokyaku> record) {
    return Insert(m_rows.end(), std::move(record));
}

const CKokyakuRow& CKokyakuRows::InsertFront(std::unique_ptr<CKokyaku> record) {
    return Insert(m_rows.begin(), std::move(record));
}

void CKokyakuRows::Index() const {
    if (!m_byKey.empty() || m_rows.empty()) return;
    m_byKey.reserve(m_rows.size());
    for (const auto& r : m_rows) m_byKey.emplace(r->ID, r.get());
}

const CKokyakuRow* CKokyakuRows::Find(int32_t key) const {
    Index();
    auto it = m_byKey.find(key);
    return it == m_byKey.end() ? nullptr : it->second;
}

bool CKokyakuRows::Replace(std::unique_ptr<CKokyaku>& record) {
    auto* row = const_cast<CKokyakuRow*>(Find(record->ID));
    if (!row) return false;
    Touch(*row);
    row->m_data = Pack(*record, m_fields);
    row->m_full = std::move(record);
    return true;
}

bool CKokyakuRows::Update(int32_t key, const std::function<void(CKokyaku&)>& change) {
    auto* row = const_cast<CKokyakuRow*>(Find(key));
    if (!row) return false;
    Touch(*row);
    CKokyaku scratch;
    row->Unpack(scratch);
    change(scratch);
    row->m_data = Pack(scratch, m_fields);
    if (row->m_full) change(*row->m_full);
    return true;
}

void CKokyakuRows::SetRirekiUpDate(int32_t key, const CDateTime& at) {
    static const int field = KokyakuFieldIndex("RirekiUpDate");
    auto* row = const_cast<CKokyakuRow*>(Find(key));
    if (!row) return;
    Touch(*row);
    if (row->Keeps(field)) {
        const double days = SlotDays(at);
        std::memcpy(row->Slot(field), &days, sizeof days);
    }
    if (row->m_full) row->m_full->RirekiUpDate = at;
}

void CKokyakuRows::Remove(const std::unordered_set<int32_t>& keys) {
    if (keys.empty()) return;
    m_version = NextVersion();  // rows only go: the log stays whole
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [&](const auto& r) { return keys.count(r->ID) > 0; }),
                 m_rows.end());
    if (!m_byKey.empty())
        for (int32_t key : keys) m_byKey.erase(key);
}

void CKokyakuRows::DropRecords() {
    for (auto& r : m_rows) r->m_full.reset();
}
