// Ranks of a long list's text columns made ahead, while the list stands, so
// that a click on a heading only places the rows. The texts are copied a slice
// at a time on the list's thread; their ranks are made on one worker thread
// from the copies. A result counts while the rows are as they were copied, or
// while the few rows changed since are known: those are placed by comparing
// texts.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "customers/KokyakuListSort.h"

class CKokyakuRows;
class IListCellSource;
struct CKokyakuListItem;

class CPreparedRanks {
public:
    enum class Progress {
        Done,     // every column prepared, or nothing to prepare
        More,     // texts left to copy: call again soon
        Waiting,  // the worker is busy: call again later
    };

    CPreparedRanks() = default;
    ~CPreparedRanks();  // stops the worker and waits for it
    CPreparedRanks(const CPreparedRanks&) = delete;
    CPreparedRanks& operator=(const CPreparedRanks&) = delete;

    // Lists shorter than this are not prepared: they sort at once.
    static constexpr std::size_t kMinimum = 200'000;
    void SetMinimum(std::size_t rows) { m_minimum = rows; }
    // The list's rows were replaced, moved or removed: copying starts again.
    void ItemsChanged();

    // One step for the fields' text columns: takes a finished worker's ranks,
    // copies a slice of texts, or hands copied texts to the worker.
    Progress Advance(const std::vector<CKokyakuListItem>& items, const std::vector<std::string>& fields,
                     const IListCellSource& source, const ITextOrder& order);

    // The field the worker was last given and has not handed back, or "".
    std::string Ranking() const { return m_working ? m_working->field : std::string(); }

    // The items in ascending order of the field's text, equal texts in item
    // order, when the field is prepared (waiting for the worker when it is
    // ranking that field now); empty otherwise.
    std::vector<std::size_t> OrderOf(const std::string& field, const std::vector<CKokyakuListItem>& items,
                                     const IListCellSource& source, const ITextOrder& order);

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    // Items copied per step.
    static constexpr std::size_t kSlice = 8192;
    // Items whose texts decide which column is ranked next.
    static constexpr std::size_t kSampled = 256;
    // Rows changed since a result was made that are placed by comparing;
    // beyond them the field is ranked again.
    static constexpr std::size_t kPlaced = 1024;

    // One field's texts copied from rows of one version, ranked by the worker.
    struct Job {
        std::string field;
        const CKokyakuRows* owner = nullptr;  // compared, never followed
        uint64_t version = 0;
        std::string bytes;            // the texts one after another
        std::vector<uint32_t> ends;   // where each text ends in bytes
        std::vector<uint32_t> serials;  // each text's row
        uint32_t serialEnd = 0;
        std::mutex orderMutex;  // the order is dropped by the worker, stopped by the list
        std::unique_ptr<ITextOrder> order;
        std::vector<uint32_t> rank;  // by serial: the made rank, or kNone
        std::atomic<bool> done{false};

        void Run();
    };

    // The list of the first item's row, or nullptr.
    static const CKokyakuRows* FirstOwner(const std::vector<CKokyakuListItem>& items);
    // The owner's rows are as the job copied them.
    static bool Current(const Job& job, const CKokyakuRows* owner);
    // Current, or made before changes of at most kPlaced rows (their serials).
    static bool Usable(const Job& job, const CKokyakuRows* owner, std::vector<uint32_t>& changed);
    // Keeps the worker's ranks once it is done (wait: waits for it).
    void Collect(bool wait);
    void StartWorker();
    void DropCopy();

    std::size_t m_minimum = kMinimum;
    bool m_mixed = false;  // the items' rows are of two lists, or none
    std::unordered_map<std::string, std::unique_ptr<Job>> m_results;  // by field
    std::unique_ptr<Job> m_copying;  // texts being copied
    std::size_t m_copied = 0;        // items copied into m_copying
    std::unique_ptr<Job> m_working;  // texts being ranked by m_worker
    std::thread m_worker;
};
