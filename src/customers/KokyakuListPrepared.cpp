#include "customers/KokyakuListPrepared.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include <sys/resource.h>
#include <unistd.h>

#include "customers/KokyakuListModel.h"
#include "customers/KokyakuRow.h"

CPreparedRanks::~CPreparedRanks() {
    if (m_working) {
        std::lock_guard<std::mutex> lock(m_working->orderMutex);
        if (m_working->order) m_working->order->Stop();
    }
    if (m_worker.joinable()) m_worker.join();
}

void CPreparedRanks::ItemsChanged() {
    DropCopy();
    m_mixed = false;
}

void CPreparedRanks::DropCopy() {
    m_copying.reset();
    m_copied = 0;
}

void CPreparedRanks::Job::Run() {
    // Work done ahead yields to the work a click asks for now: the lowest
    // priority for this thread and the threads it starts.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    std::vector<std::string_view> texts;
    texts.reserve(ends.size());
    uint32_t from = 0;
    for (uint32_t end : ends) {
        texts.emplace_back(bytes.data() + from, end - from);
        from = end;
    }
    const std::vector<uint32_t> ranks = order->Ranks(texts);
    {
        // Its keys and texts are freed here, not on the list's thread.
        std::lock_guard<std::mutex> lock(orderMutex);
        order.reset();
    }
    if (ranks.size() == texts.size()) {
        rank.assign(serialEnd, kNone);
        for (std::size_t i = 0; i < ranks.size(); ++i) rank[serials[i]] = ranks[i];
    }
    // The copies are no longer needed.
    std::string().swap(bytes);
    std::vector<uint32_t>().swap(ends);
    std::vector<uint32_t>().swap(serials);
    done.store(true, std::memory_order_release);
}

const CKokyakuRows* CPreparedRanks::FirstOwner(const std::vector<CKokyakuListItem>& items) {
    return items.empty() || !items.front().row ? nullptr : &items.front().row->Owner();
}

bool CPreparedRanks::Current(const Job& job, const CKokyakuRows* owner) {
    return owner && job.owner == owner && job.version == owner->Version();
}

bool CPreparedRanks::Usable(const Job& job, const CKokyakuRows* owner, std::vector<uint32_t>& changed) {
    return owner && job.owner == owner && owner->ChangedSince(job.version, changed) && changed.size() <= kPlaced;
}

void CPreparedRanks::Collect(bool wait) {
    if (!m_working || (!wait && !m_working->done.load(std::memory_order_acquire))) return;
    m_worker.join();
    if (!m_working->rank.empty()) m_results[m_working->field] = std::move(m_working);
    m_working.reset();
}

void CPreparedRanks::StartWorker() {
    m_working = std::move(m_copying);
    m_copied = 0;
    m_worker = std::thread([job = m_working.get()] { job->Run(); });
}

CPreparedRanks::Progress CPreparedRanks::Advance(const std::vector<CKokyakuListItem>& items,
                                                 const std::vector<std::string>& fields,
                                                 const IListCellSource& source, const ITextOrder& order) {
    Collect(false);
    const CKokyakuRows* owner = items.size() >= m_minimum && !m_mixed ? FirstOwner(items) : nullptr;
    // Serials far beyond the rows would make the rank tables needlessly long.
    if (owner && owner->SerialEnd() / 4 > items.size()) owner = nullptr;
    std::vector<uint32_t> changed;
    for (auto it = m_results.begin(); it != m_results.end();)
        it = Usable(*it->second, owner, changed) ? std::next(it) : m_results.erase(it);
    if (!owner) {
        DropCopy();
        return m_working ? Progress::Waiting : Progress::Done;
    }

    if (m_copying && !Current(*m_copying, owner)) DropCopy();
    if (!m_copying) {
        // Longer texts take longer to sort from scratch: those columns first,
        // by the texts of a sample of rows.
        const std::string* next = nullptr;
        std::size_t nextBytes = 0;
        for (const std::string& field : fields) {
            if (SortKindOfField(field) != ListSortKind::Text || !source.SortTextFromRow(field)) continue;
            if (m_results.count(field) || (m_working && m_working->field == field && Usable(*m_working, owner, changed)))
                continue;
            std::size_t bytes = 0;
            std::string storage;
            for (std::size_t i = 0; i < kSampled; ++i)
                bytes += source.SortText(items[i * items.size() / kSampled], field, storage).size();
            if (!next || bytes > nextBytes) {
                next = &field;
                nextBytes = bytes;
            }
        }
        if (next) {
            m_copying = std::make_unique<Job>();
            m_copying->field = *next;
            m_copying->owner = owner;
            m_copying->version = owner->Version();
            m_copying->serialEnd = owner->SerialEnd();
            m_copying->order = order.Fresh();
            m_copying->ends.reserve(items.size());
            m_copying->serials.reserve(items.size());
        }
        if (!m_copying) return m_working ? Progress::Waiting : Progress::Done;
    }

    Job& job = *m_copying;
    if (m_copied < items.size()) {
        const std::size_t end = std::min(items.size(), m_copied + kSlice);
        bool fits = true;
        ForEachSortText(items, m_copied, end, source, job.field, [&](std::size_t i, std::string_view text, bool) {
            const CKokyakuRow* row = items[i].row;
            m_mixed = m_mixed || !row || &row->Owner() != job.owner;
            fits = fits && job.bytes.size() + text.size() <= std::numeric_limits<uint32_t>::max();
            if (m_mixed || !fits) return;
            job.bytes.append(text);
            job.ends.push_back(static_cast<uint32_t>(job.bytes.size()));
            job.serials.push_back(row->Serial());
        });
        if (m_mixed) {
            // Rows of two lists, or none: this list sorts when clicked.
            DropCopy();
            return Progress::More;
        }
        if (!fits) {
            // Beyond what the copy can index: kept without ranks, this field
            // sorts when clicked.
            std::string().swap(job.bytes);
            std::vector<uint32_t>().swap(job.ends);
            std::vector<uint32_t>().swap(job.serials);
            m_results[job.field] = std::move(m_copying);
            DropCopy();
            return Progress::More;
        }
        m_copied = end;
        if (m_copied < items.size()) return Progress::More;
    }
    if (m_working) return Progress::Waiting;
    StartWorker();
    return Progress::More;
}

std::vector<std::size_t> CPreparedRanks::OrderOf(const std::string& field,
                                                 const std::vector<CKokyakuListItem>& items,
                                                 const IListCellSource& source, const ITextOrder& order) {
    // Rows are looked at only for a field being or having been ranked.
    if (!(m_working && m_working->field == field) && !m_results.count(field)) return {};
    const CKokyakuRows* owner = FirstOwner(items);  // every row is checked below
    std::vector<uint32_t> changed;
    Collect(m_working && m_working->field == field && Usable(*m_working, owner, changed));
    auto it = m_results.find(field);
    if (it == m_results.end() || !Usable(*it->second, owner, changed)) return {};
    const std::vector<uint32_t>& rank = it->second->rank;
    std::vector<uint8_t> isChanged(changed.empty() ? 0 : owner->SerialEnd());
    for (uint32_t serial : changed)
        if (serial < isChanged.size()) isChanged[serial] = 1;

    // The unchanged items by rank; the changed ones aside.
    std::vector<uint32_t> ranks;
    std::vector<std::size_t> unchanged, moved;
    ranks.reserve(items.size());
    if (!changed.empty()) unchanged.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i + 16 < items.size()) __builtin_prefetch(items[i + 16].row);
        const CKokyakuRow* row = items[i].row;
        if (!row || &row->Owner() != owner) return {};
        const uint32_t serial = row->Serial();
        if (serial < isChanged.size() && isChanged[serial]) {
            moved.push_back(i);
            continue;
        }
        if (serial >= rank.size() || rank[serial] == kNone) return {};
        ranks.push_back(rank[serial]);
        if (!changed.empty()) unchanged.push_back(i);
    }
    std::vector<std::size_t> sorted = SortedRankOrder(ranks, true);
    if (moved.empty()) return sorted;  // every item unchanged: unchanged[i] is i
    for (std::size_t& at : sorted) at = unchanged[at];

    // Each changed item goes where a stable sort of all would put it: after
    // the items whose text sorts before its own or is equal and comes before
    // it in the list. The unchanged items are in that order already.
    std::string storage, other;
    std::vector<std::string> texts;
    for (std::size_t i : moved) texts.emplace_back(source.SortText(items[i], field, storage));
    auto before = [&](std::size_t a, std::string_view textA, std::size_t b, std::string_view textB) {
        const int c = order.Compare(textA, textB);
        return c < 0 || (c == 0 && a < b);
    };
    std::vector<std::pair<std::size_t, std::size_t>> places;  // (unchanged before it, index into moved)
    for (std::size_t m = 0; m < moved.size(); ++m) {
        std::size_t low = 0, high = sorted.size();
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            const std::string_view text = source.SortText(items[sorted[mid]], field, other);
            if (before(sorted[mid], text, moved[m], texts[m])) low = mid + 1;
            else high = mid;
        }
        places.emplace_back(low, m);
    }
    std::sort(places.begin(), places.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return before(moved[a.second], texts[a.second], moved[b.second], texts[b.second]);
    });
    std::vector<std::size_t> all;
    all.reserve(items.size());
    std::size_t next = 0;
    for (const auto& [place, m] : places) {
        while (next < place) all.push_back(sorted[next++]);
        all.push_back(moved[m]);
    }
    while (next < sorted.size()) all.push_back(sorted[next++]);
    return all;
}
