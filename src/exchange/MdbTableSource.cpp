// The tables of a desktop database file through libmdb, which runs in a
// fenced child process (common/Fence.h): a damaged file may crash it.
// glib first: the library header includes it inside extern "C".
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "common/Fence.h"
#include "exchange/Import.h"

namespace {

// The provider's error texts come as this one message.
constexpr const char* kOpenFailed = "データベースを開けませんでした。";
constexpr const char* kReadFailed = "テーブルを読み込めませんでした。";

bool IsNumericType(int type) {
    return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_FLOAT || type == MDB_DOUBLE ||
           type == MDB_MONEY || type == MDB_NUMERIC;
}

std::string ValueText(int type, const char* bound, int len) {
    std::string text(bound, static_cast<std::size_t>(std::max(len, 0)));
    if (text.empty()) return text;
    if (type == MDB_FLOAT || type == MDB_DOUBLE) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", std::strtod(text.c_str(), nullptr));
        return buf;
    }
    if (type == MDB_BOOL) return text == "0" ? "0" : "1";
    return text;
}

class CMdbTableSource final : public ITableSource {
    // Used only inside the fenced child.
public:
    ~CMdbTableSource() override {
        if (m_mdb) mdb_close(m_mdb);
    }

    bool Open(const std::string& path) override {
        // Jet 3 files hold their texts in the Japanese code page.
        setenv("MDB_JET3_CHARSET", "CP932", 0);
        m_mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
        if (!m_mdb || !mdb_read_catalog(m_mdb, MDB_TABLE)) {
            m_error = kOpenFailed;
            return false;
        }
        mdb_set_date_fmt(m_mdb, "%Y/%m/%d");
        return true;
    }

    std::vector<std::string> Tables() override {
        std::vector<std::string> names;
        for (unsigned i = 0; i < m_mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
            if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
            std::string name = entry->object_name;
            if (name.starts_with("MSys")) continue;
            names.push_back(name);
        }
        return names;
    }

    bool ReadTable(const std::string& name, ExchangeTable& rows) override {
        rows.clear();
        MdbCatalogEntry* found = nullptr;
        for (unsigned i = 0; i < m_mdb->num_catalog && !found; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && name == entry->object_name) found = entry;
        }
        MdbTableDef* table = found ? mdb_read_table(found) : nullptr;
        if (!table || !mdb_read_columns(table)) {
            if (table) mdb_free_tabledef(table);
            m_error = kReadFailed;
            return false;
        }
        mdb_read_indices(table);
        const unsigned cols = table->num_cols;
        std::vector<int> types(cols);
        std::vector<std::string> header{std::string()};
        std::vector<std::vector<char>> buffers(cols, std::vector<char>(MDB_BIND_SIZE));
        std::vector<int> lengths(cols);
        for (unsigned c = 0; c < cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            header.push_back(col->name);
            types[c] = col->col_type;
            mdb_bind_column(table, static_cast<int>(c + 1), buffers[c].data(), &lengths[c]);
        }
        std::vector<int> keys;  // primary-key columns from 0
        for (unsigned i = 0; i < table->num_idxs; ++i) {
            auto* idx = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
            if (idx->index_type != 1) continue;
            for (unsigned k = 0; k < idx->num_keys; ++k) keys.push_back(idx->key_col_num[k] - 1);
            break;
        }
        std::vector<std::vector<std::string>> data;
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            std::vector<std::string> row;
            for (unsigned c = 0; c < cols; ++c) row.push_back(ValueText(types[c], buffers[c].data(), lengths[c]));
            data.push_back(std::move(row));
        }
        if (!keys.empty()) {
            std::stable_sort(data.begin(), data.end(), [&](const auto& a, const auto& b) {
                for (int k : keys) {
                    if (k < 0 || static_cast<unsigned>(k) >= cols) continue;
                    if (IsNumericType(types[k])) {
                        double x = std::strtod(a[k].c_str(), nullptr), y = std::strtod(b[k].c_str(), nullptr);
                        if (x != y) return x < y;
                    } else if (a[k] != b[k]) {
                        return a[k] < b[k];
                    }
                }
                return false;
            });
        }
        mdb_free_tabledef(table);
        rows.push_back(std::move(header));
        for (auto& row : data) {
            row.insert(row.begin(), std::to_string(rows.size()));
            rows.push_back(std::move(row));
        }
        return true;
    }

    std::string ErrorText() const override { return m_error; }

private:
    MdbHandle* m_mdb = nullptr;
    std::string m_error;
};

// The source the import uses: each call opens the file again in a child.
class CFencedMdbSource final : public ITableSource {
public:
    bool Open(const std::string& path) override {
        m_path = path;
        std::optional<std::string> reply = RunFenced([&path](std::string& out) {
            CMdbTableSource source;
            if (!source.Open(path)) return false;
            CReplyWriter writer;
            writer.Texts(source.Tables());
            out = std::move(writer.Bytes());
            return true;
        });
        CReplyReader reader(reply ? *reply : std::string_view());
        if (reply && reader.Texts(m_tables) && reader.AtEnd()) return true;
        m_tables.clear();
        m_error = kOpenFailed;
        return false;
    }

    std::vector<std::string> Tables() override { return m_tables; }

    bool ReadTable(const std::string& name, ExchangeTable& rows) override {
        rows.clear();
        std::optional<std::string> reply = RunFenced([this, &name](std::string& out) {
            CMdbTableSource source;
            ExchangeTable read;
            if (!source.Open(m_path) || !source.ReadTable(name, read)) return false;
            CReplyWriter writer;
            writer.Number(read.size());
            for (const auto& row : read) writer.Texts(row);
            out = std::move(writer.Bytes());
            return true;
        });
        CReplyReader reader(reply ? *reply : std::string_view());
        std::uint64_t count = 0;
        bool ok = reply && reader.Number(count) && count <= reply->size() / 8 && count <= kMaxImportRecords + 1;
        if (ok) rows.resize(static_cast<std::size_t>(count));
        for (std::size_t i = 0; ok && i < rows.size(); ++i) ok = reader.Texts(rows[i]);
        if (ok && reader.AtEnd()) return true;
        rows.clear();
        m_error = kReadFailed;
        return false;
    }

    std::string ErrorText() const override { return m_error; }

private:
    std::string m_path;
    std::vector<std::string> m_tables;
    std::string m_error;
};

}  // namespace

std::unique_ptr<ITableSource> MakeMdbTableSource() { return std::make_unique<CFencedMdbSource>(); }
