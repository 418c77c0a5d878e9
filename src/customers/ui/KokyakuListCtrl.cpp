#include "customers/ui/KokyakuListCtrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <numeric>
#include <thread>

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include "common/TextArena.h"
#include "common/ui/ListSelection.h"
#include "customers/KokyakuListColumns.h"

namespace {
QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
constexpr int kFirstInset = 2;
constexpr int kOtherInset = 6;
}  // namespace

// ---------------------------------------------------------------- text order

namespace {
// The text as UTF-16 into buffer, bytes that are no UTF-8 as U+FFFD; the units.
int32_t ToUtf16(std::string_view text, std::vector<UChar>& buffer) {
    // UTF-16 never takes more units than UTF-8 takes bytes.
    if (buffer.size() <= text.size()) buffer.resize(text.size() + 1);
    UErrorCode status = U_ZERO_ERROR;
    int32_t units = 0;
    u_strFromUTF8WithSub(buffer.data(), static_cast<int32_t>(buffer.size()), &units, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    return U_FAILURE(status) ? 0 : units;
}

// Bytes [from, from + 8) of a sequence of length n as one big-endian word,
// zero beyond the end, so that words compare as the bytes do.
template <class ByteAt>
uint64_t Word(std::size_t from, std::size_t n, ByteAt byteAt) {
    uint64_t word = 0;
    for (std::size_t i = from; i < from + 8; ++i) word = word << 8 | (i < n ? uint64_t{byteAt(i)} : 0);
    return word;
}

// The same of bytes in memory, eight at once where all are there.
uint64_t WordOf(std::size_t from, std::size_t n, const uint8_t* bytes) {
    if (from + 8 > n) return Word(from, n, [bytes](std::size_t i) { return bytes[i]; });
    uint64_t word;
    std::memcpy(&word, bytes + from, 8);
    return __builtin_bswap64(word);
}

// Sorts [begin, end) with sortRange, halves on two threads when many: split
// at a sampled middle by less (equal elements stay on one side).
template <class T, class Less, class SortRange>
void SortOnTwoThreads(T* begin, T* end, bool share, Less less, SortRange sortRange) {
    constexpr std::size_t kSample = 255;
    if (!share || static_cast<std::size_t>(end - begin) < 16 * kSample) return sortRange(begin, end);
    std::vector<T> sample;
    for (std::size_t i = 0; i < kSample; ++i) sample.push_back(begin[i * static_cast<std::size_t>(end - begin) / kSample]);
    std::nth_element(sample.begin(), sample.begin() + kSample / 2, sample.end(), less);
    const T middle = sample[kSample / 2];
    T* split = std::partition(begin, end, [&](const T& e) { return less(e, middle); });
    std::thread helper([&] { sortRange(split, end); });
    sortRange(begin, split);
    helper.join();
}

// Texts of printable ASCII characters in the collator's order without keys.
// Each such character is one collation element, so the texts compare as the
// strings of their characters' places among those characters (letters that
// differ only in case share a place). The places come from the collator, and
// are checked against it on every text of one or two such characters; when
// that fails the order is not used.
class CAsciiOrder {
public:
    explicit CAsciiOrder(const UCollator* collator) {
        if (!collator) return;
        auto keyOf = [&](const std::string& text) {
            const std::vector<UChar> units(text.begin(), text.end());
            std::vector<uint8_t> key(64);
            int32_t n = ucol_getSortKey(collator, units.data(), static_cast<int32_t>(units.size()), key.data(), 64);
            if (n > 64) {
                key.resize(static_cast<std::size_t>(n));
                n = ucol_getSortKey(collator, units.data(), static_cast<int32_t>(units.size()), key.data(), n);
            }
            key.resize(static_cast<std::size_t>(std::max(n, 0)));
            return key;
        };
        std::vector<std::pair<std::vector<uint8_t>, std::string>> texts;
        for (char c = kFirst; c <= kLast; ++c) texts.emplace_back(keyOf(std::string(1, c)), std::string(1, c));
        std::sort(texts.begin(), texts.end());
        uint8_t place = 0;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (i == 0 || texts[i].first != texts[i - 1].first) ++place;
            m_place[static_cast<unsigned char>(texts[i].second[0])] = place;
        }
        for (char a = kFirst; a <= kLast; ++a)
            for (char b = kFirst; b <= kLast; ++b) texts.emplace_back(keyOf(std::string{a, b}), std::string{a, b});
        std::sort(texts.begin(), texts.end());
        for (std::size_t i = 1; i < texts.size(); ++i) {
            const int c = Compare(texts[i - 1].second, texts[i].second);
            if (texts[i - 1].first == texts[i].first ? c != 0 : c >= 0) return;
        }
        m_usable = true;
    }

    bool Usable() const { return m_usable; }
    static bool Covers(std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return c >= kFirst && c <= kLast; });
    }

    // As ITextOrder::Ranks, for texts it covers.
    std::vector<uint32_t> Ranks(const std::vector<std::string_view>& texts, bool share) const {
        std::vector<Entry> entries(texts.size());
        for (uint32_t i = 0; i < texts.size(); ++i) {
            Entry& e = entries[i];
            e.index = i;
            const std::string_view t = texts[i];
            const auto place = [&](std::size_t j) { return m_place[static_cast<unsigned char>(t[j])]; };
            e.first = Word(0, t.size(), place);
            e.second = Word(8, t.size(), place);
        }
        auto prefixLess = [](const Entry& a, const Entry& b) {
            return a.first != b.first ? a.first < b.first : a.second < b.second;
        };
        // The 16 places decide unless both texts are longer.
        auto order = [&](const Entry& a, const Entry& b) {
            if (a.first != b.first || a.second != b.second) return prefixLess(a, b) ? -1 : 1;
            const std::string_view x = texts[a.index], y = texts[b.index];
            // Equal places: both texts are at least 16 long, or equal.
            return Compare(x.substr(std::min<std::size_t>(16, x.size())), y.substr(std::min<std::size_t>(16, y.size())));
        };
        SortOnTwoThreads(entries.data(), entries.data() + entries.size(), share, prefixLess,
                         [&](Entry* begin, Entry* end) {
                             std::sort(begin, end, [&](const Entry& a, const Entry& b) { return order(a, b) < 0; });
                         });
        std::vector<uint32_t> ranks(texts.size());
        uint32_t rank = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i > 0 && order(entries[i - 1], entries[i]) != 0) rank = static_cast<uint32_t>(i);
            ranks[entries[i].index] = rank;
        }
        return ranks;
    }

private:
    static constexpr char kFirst = 0x20, kLast = 0x7E;
    struct Entry {
        uint64_t first, second;  // the places of characters 0-7 and 8-15, zero beyond the text
        uint32_t index;
    };

    // The texts' order by places, a shorter text before a longer one it begins.
    int Compare(std::string_view x, std::string_view y) const {
        for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
            const uint8_t a = m_place[static_cast<unsigned char>(x[i])], b = m_place[static_cast<unsigned char>(y[i])];
            if (a != b) return a < b ? -1 : 1;
        }
        return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
    }

    uint8_t m_place[128] = {};
    bool m_usable = false;
};
}  // namespace

struct CCollatorTextOrder::Cache {
    // Texts kept at most; beyond it the cache starts again. Long lists rank
    // their columns ahead, so this holds about one column of a million rows.
    static constexpr std::size_t kMaxTexts = 1'500'000;
    // New texts from which keys are made on two threads.
    static constexpr std::size_t kShareFrom = 50'000;

    // Japanese, case ignored (secondary strength), canonical equivalents equal.
    Cache() {
        UErrorCode status = U_ZERO_ERROR;
        collator = ucol_open("ja_JP", &status);
        if (U_FAILURE(status)) {
            collator = nullptr;
            return;
        }
        ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setStrength(collator, UCOL_SECONDARY);
        second = ucol_clone(collator, &status);
        if (U_FAILURE(status)) second = nullptr;
    }
    ~Cache() {
        if (second) ucol_close(second);
        if (collator) ucol_close(collator);
    }
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;

    struct Key {
        uint64_t prefix = 0;             // the first eight key bytes, big-endian, zero-padded
        const uint8_t* bytes = nullptr;  // kept in keyBlocks
        uint32_t length = 0;
    };

    // Makes sort keys on one thread: its own collator, buffers and bytes.
    struct KeyMaker {
        explicit KeyMaker(const UCollator* collator) : collator(collator) {}

        // The collator's sort key of the text (bytes that are no UTF-8 count as
        // U+FFFD); without a collator the text's UTF-16 code units. Its bytes
        // are placed by Place once no more are made.
        void Add(uint32_t slot, Key& key, std::string_view text) {
            const int32_t units = ToUtf16(text, utf16);
            const std::size_t at = bytes.size();
            if (collator) {
                int32_t need = ucol_getSortKey(collator, utf16.data(), units, buffer.data(),
                                               static_cast<int32_t>(buffer.size()));
                if (need > static_cast<int32_t>(buffer.size())) {
                    buffer.resize(static_cast<std::size_t>(need));
                    need = ucol_getSortKey(collator, utf16.data(), units, buffer.data(), need);
                }
                // Without the closing zero.
                if (need > 0) bytes.insert(bytes.end(), buffer.data(), buffer.data() + need - 1);
            } else {
                for (std::size_t i = 0; i < static_cast<std::size_t>(units); ++i) {
                    bytes.push_back(static_cast<uint8_t>(utf16[i] >> 8));
                    bytes.push_back(static_cast<uint8_t>(utf16[i]));
                }
            }
            key.length = static_cast<uint32_t>(bytes.size() - at);
            key.prefix = WordOf(0, key.length, bytes.data() + at);
            made.emplace_back(slot, at);
        }

        // Points the keys made at their bytes, which the blocks keep from now.
        void Place(std::vector<Key>& keys, std::vector<std::vector<uint8_t>>& blocks) {
            for (const auto& [slot, at] : made) keys[slot].bytes = bytes.data() + at;
            blocks.push_back(std::move(bytes));
        }

        const UCollator* collator;
        std::vector<UChar> utf16 = std::vector<UChar>(256);
        std::vector<uint8_t> buffer = std::vector<uint8_t>(512);
        std::vector<uint8_t> bytes;
        std::vector<std::pair<uint32_t, std::size_t>> made;  // slot, where its bytes begin
    };

    // Makes the keys of new slots while they are being found: with many texts
    // a helper thread follows the finding, and when it is over both threads
    // share what is left, a chunk at a time. `added` has room for every new
    // slot, so that it never moves while the helper reads it.
    class KeyFeed {
    public:
        // most: the new slots there can be; keys has room for them.
        KeyFeed(Cache& cache, const std::vector<uint32_t>& added, std::size_t most, bool share)
            : m_cache(cache), m_added(added), m_mine(cache.collator), m_other(cache.second) {
            cache.keys.resize(cache.texts.size() + most);
            if (share && cache.second) m_helper = std::thread([this] { Work(m_other); });
        }
        ~KeyFeed() { Finish(); }
        KeyFeed(const KeyFeed&) = delete;
        KeyFeed& operator=(const KeyFeed&) = delete;

        // The slots found so far, handed over once a chunk more is there.
        void Found(std::size_t count) {
            if (!m_helper.joinable() || count < m_published + kChunk) return;
            {
                std::lock_guard lock(m_mutex);
                m_published = count;
            }
            m_wake.notify_one();
        }

        // Makes the keys not made yet, waits for the helper and keeps the
        // keys' bytes in the cache.
        void Finish() {
            if (m_finished) return;
            {
                std::lock_guard lock(m_mutex);
                m_published = m_added.size();
                m_finished = true;
            }
            m_wake.notify_one();
            Work(m_mine);
            if (m_helper.joinable()) m_helper.join();
            m_cache.keys.resize(m_cache.texts.size());
            m_mine.Place(m_cache.keys, m_cache.keyBlocks);
            m_other.Place(m_cache.keys, m_cache.keyBlocks);
        }

    private:
        static constexpr std::size_t kChunk = 512;

        // Takes chunks of the published slots until all are taken and the
        // finding is over (or Stop was called).
        void Work(KeyMaker& maker) {
            for (;;) {
                std::size_t limit;
                bool finished;
                {
                    std::unique_lock lock(m_mutex);
                    m_wake.wait(lock, [&] { return m_finished || m_published > m_next.load(); });
                    limit = m_published;
                    finished = m_finished;
                }
                for (;;) {
                    std::size_t from = m_next.load();
                    std::size_t to = 0;
                    do {
                        if (from >= limit) break;
                        to = std::min(from + kChunk, limit);
                    } while (!m_next.compare_exchange_weak(from, to));
                    if (from >= limit) break;
                    if (m_cache.stop.load(std::memory_order_relaxed)) return;
                    // Read once a chunk: the finding thread writes beside them.
                    const uint32_t* added = m_added.data();
                    const std::string_view* texts = m_cache.texts.data();
                    Key* keys = m_cache.keys.data();
                    for (std::size_t i = from; i < to; ++i) maker.Add(added[i], keys[added[i]], texts[added[i]]);
                }
                if (finished) return;
            }
        }

        Cache& m_cache;
        const std::vector<uint32_t>& m_added;
        KeyMaker m_mine, m_other;
        std::mutex m_mutex;
        std::condition_variable m_wake;
        std::size_t m_published = 0;  // slots the helper may take, under m_mutex
        bool m_finished = false;       // under m_mutex; also read by Finish on its own thread
        std::atomic<std::size_t> m_next{0};  // the first slot not taken
        std::thread m_helper;
    };

    // Whether Stop was called, looked at every 4096 steps.
    bool Stopped(std::size_t step) const { return step % 4096 == 0 && stop.load(std::memory_order_relaxed); }

    // The key order: the first eight bytes decide most comparisons.
    int Compare(uint32_t a, uint32_t b) const {
        const Key& x = keys[a];
        const Key& y = keys[b];
        if (x.prefix != y.prefix) return x.prefix < y.prefix ? -1 : 1;
        if (x.length <= 8 && y.length <= 8) return x.length == y.length ? 0 : x.length < y.length ? -1 : 1;
        const std::string_view l(reinterpret_cast<const char*>(x.bytes), x.length);
        const std::string_view r(reinterpret_cast<const char*>(y.bytes), y.length);
        return l.compare(r);
    }

    // The slot of the text, or a new slot (true) after keeping the text (its
    // key comes from MakeKeys).
    std::pair<uint32_t, bool> SlotOf(std::string_view text, uint64_t hash) {
        if ((texts.size() + 1) * 2 > table.size()) Grow();
        const uint64_t tag = hash >> 32;
        const std::size_t mask = table.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const uint64_t entry = table[at];
            if (entry == kEmpty) {
                const auto slot = static_cast<uint32_t>(texts.size());
                table[at] = tag << 32 | slot;
                texts.push_back(kept.Keep(text));
                hashes.push_back(hash);
                return {slot, true};
            }
            const auto slot = static_cast<uint32_t>(entry);
            if (entry >> 32 == tag && texts[slot] == text) return {slot, false};
        }
    }

    // Room for `count` texts in all without growing on the way.
    void Reserve(std::size_t count) {
        texts.reserve(count);
        hashes.reserve(count);
        keys.reserve(count);
        std::size_t size = std::max<std::size_t>(1024, table.size());
        while (size < count * 2) size *= 2;
        if (size > table.size()) Grow(size);
    }

    void Grow(std::size_t size = 0) {
        std::vector<uint64_t> wider(std::max<std::size_t>({1024, table.size() * 2, size}), kEmpty);
        const std::size_t mask = wider.size() - 1;
        for (uint32_t slot = 0; slot < texts.size(); ++slot) {
            std::size_t at = hashes[slot] & mask;
            while (wider[at] != kEmpty) at = (at + 1) & mask;
            wider[at] = (hashes[slot] >> 32) << 32 | slot;
        }
        table = std::move(wider);
    }

    void Clear() {
        kept.Clear();
        table.clear();
        texts.clear();
        hashes.clear();
        keys.clear();
        keyBlocks.clear();
        rank.clear();
        ordered.clear();
    }

    // The new slots beside 16 key bytes from a depth on, so that sorting reads
    // memory in order.
    struct Entry {
        uint64_t first, second;  // key bytes depth..depth+7 and depth+8..depth+15
        uint32_t slot;
        bool sameAsPrevious;     // after sorting: the key equals the one before
    };

    // By the 16 bytes loaded.
    static bool Before(const Entry& a, const Entry& b) {
        return a.first != b.first ? a.first < b.first : a.second < b.second;
    }

    void Load(Entry& e, std::size_t depth) const {
        const Key& k = keys[e.slot];
        e.first = WordOf(depth, k.length, k.bytes);
        e.second = WordOf(depth + 8, k.length, k.bytes);
    }

    // Loads entries at depth, their keys fetched ahead (they lie anywhere).
    void LoadAll(Entry* begin, Entry* end, std::size_t depth) const {
        constexpr std::ptrdiff_t kAhead = 8;
        for (Entry* e = begin; e != end; ++e) {
            if (end - e > 2 * kAhead) __builtin_prefetch(&keys[e[2 * kAhead].slot]);
            if (end - e > kAhead) {
                const Key& k = keys[e[kAhead].slot];
                if (depth < k.length) __builtin_prefetch(k.bytes + depth);
                if (depth + 15 < k.length) __builtin_prefetch(k.bytes + depth + 15);
            }
            Load(*e, depth);
        }
    }

    static int Compare3(const Entry& a, const Entry& b) {
        if (a.first != b.first) return a.first < b.first ? -1 : 1;
        return a.second == b.second ? 0 : a.second < b.second ? -1 : 1;
    }

    // Sorts entries loaded at depth by their keys: three-way partitions by the
    // 16 bytes loaded, those equal in them again from the next 16 (keys share
    // long beginnings, so many are). For few entries, or after 64 partitions
    // (poor pivots), a plain sort and a look for equal runs take over.
    void SortEntries(Entry* begin, Entry* end, std::size_t depth, int partitions = 64) {
        constexpr std::ptrdiff_t kFew = 16;
        while (end - begin > kFew && partitions-- > 0) {
            // The median of the first, middle and last entries.
            const Entry& a = *begin;
            const Entry& b = begin[(end - begin) / 2];
            const Entry& c = *(end - 1);
            const Entry pivot = Before(a, b) ? (Before(b, c) ? b : Before(a, c) ? c : a)
                                             : (Before(a, c) ? a : Before(b, c) ? c : b);
            Entry* less = begin;
            Entry* greater = end;
            for (Entry* e = begin; e < greater;) {
                const int order = Compare3(*e, pivot);
                if (order < 0) std::swap(*less++, *e++);
                else if (order > 0) std::swap(*e, *--greater);
                else ++e;
            }
            SortEqual(less, greater, depth);
            // The smaller side by recursion, the larger one here.
            if (less - begin < end - greater) {
                SortEntries(begin, less, depth, partitions);
                begin = greater;
            } else {
                SortEntries(greater, end, depth, partitions);
                end = less;
            }
        }
        std::sort(begin, end, Before);
        for (Entry* run = begin; run != end;) {
            Entry* next = run + 1;
            while (next != end && Compare3(*next, *run) == 0) ++next;
            SortEqual(run, next, depth);
            run = next;
        }
    }

    // Entries equal in the 16 bytes loaded at depth: sorted by the rest.
    void SortEqual(Entry* run, Entry* next, std::size_t depth) {
        if (next - run < 2) return;
        bool longer = false;
        for (Entry* e = run; e != next; ++e) longer = longer || keys[e->slot].length > depth + 16;
        if (longer) {
            LoadAll(run, next, depth + 16);
            SortEntries(run, next, depth + 16);
            return;
        }
        // Equal bytes; a shorter key (only without a collator, where keys
        // hold zero bytes) comes first.
        std::stable_sort(run, next,
                         [this](const Entry& a, const Entry& b) { return keys[a.slot].length < keys[b.slot].length; });
        for (Entry* e = run + 1; e != next; ++e) e->sameAsPrevious = keys[e->slot].length == keys[(e - 1)->slot].length;
    }

    // Sorts the entries; many on two threads, split at a sampled middle of
    // their first 16 bytes (equal bytes stay on one side).
    void SortShared(std::vector<Entry>& entries) {
        SortOnTwoThreads(entries.data(), entries.data() + entries.size(), second && entries.size() >= kShareFrom,
                         Before, [this](Entry* begin, Entry* end) { SortEntries(begin, end, 0); });
    }

    // Adds the slots not ranked yet to the ordered ones and ranks all again.
    void Merge(std::vector<uint32_t>& added) {
        std::vector<Entry> entries(added.size());
        for (std::size_t i = 0; i < added.size(); ++i) {
            entries[i].slot = added[i];
            entries[i].sameAsPrevious = false;
            Load(entries[i], 0);
        }
        SortShared(entries);
        for (std::size_t i = 0; i < added.size(); ++i) added[i] = entries[i].slot;
        const std::size_t middle = ordered.size();
        ordered.insert(ordered.end(), added.begin(), added.end());
        std::inplace_merge(ordered.begin(), ordered.begin() + static_cast<std::ptrdiff_t>(middle), ordered.end(),
                           [this](uint32_t a, uint32_t b) { return Compare(a, b) < 0; });
        rank.resize(keys.size());
        uint32_t r = 0;
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            // Texts first ranked now are in the entries' order, which knows its equal keys.
            if (i > 0 && (middle == 0 ? !entries[i].sameAsPrevious : Compare(ordered[i - 1], ordered[i]) != 0))
                r = static_cast<uint32_t>(i);
            rank[ordered[i]] = r;
        }
    }

    std::atomic<bool> stop{false};
    std::optional<CAsciiOrder> ascii;  // made on first use
    CTextArena kept;  // the texts of the slots
    UCollator* collator = nullptr;
    UCollator* second = nullptr;  // a clone for the second thread
    // Open addressing over the slots: no allocation per text.
    // An entry holds the text's slot and the high half of its hash as a tag.
    static constexpr uint64_t kEmpty = UINT64_MAX;
    std::vector<uint64_t> table;             // an entry or kEmpty
    std::vector<std::string_view> texts;     // by slot, the kept copies
    std::vector<uint64_t> hashes;            // by slot
    std::vector<Key> keys;                             // by slot
    std::vector<std::vector<uint8_t>> keyBlocks;       // every key's bytes
    std::vector<uint32_t> rank;                        // by slot; equal keys share the first place
    std::vector<uint32_t> ordered;                     // every slot, in text order
};

CCollatorTextOrder::CCollatorTextOrder() : m_cache(std::make_unique<Cache>()) {}
CCollatorTextOrder::~CCollatorTextOrder() = default;

void CCollatorTextOrder::Stop() const { m_cache->stop = true; }

int CCollatorTextOrder::Compare(std::string_view a, std::string_view b) const {
    // As the keys order them: the same conversion, the same collator.
    std::vector<UChar> x, y;
    const int32_t nx = ToUtf16(a, x), ny = ToUtf16(b, y);
    if (m_cache->collator) {
        const UCollationResult r = ucol_strcoll(m_cache->collator, x.data(), nx, y.data(), ny);
        return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
    }
    return std::u16string_view(x.data(), static_cast<std::size_t>(nx))
        .compare(std::u16string_view(y.data(), static_cast<std::size_t>(ny)));
}

std::vector<uint32_t> CCollatorTextOrder::Ranks(const std::vector<std::string_view>& texts) const {
    Cache& cache = *m_cache;
    if (cache.stop) return {};
    // Codes and numbers of printable ASCII need no keys (nor keeping).
    if (std::all_of(texts.begin(), texts.end(), CAsciiOrder::Covers)) {
        if (!cache.ascii) cache.ascii.emplace(cache.collator);
        if (cache.ascii->Usable()) return cache.ascii->Ranks(texts, cache.second != nullptr);
    }
    if (cache.texts.size() + texts.size() > Cache::kMaxTexts) cache.Clear();
    // A key once per distinct text: columns such as prefectures or ranks
    // repeat a few values over many rows.
    std::vector<uint32_t> textSlot(texts.size()), added;
    cache.Reserve(cache.texts.size() + texts.size());
    added.reserve(texts.size());
    Cache::KeyFeed feed(cache, added, texts.size(), texts.size() >= Cache::kShareFrom);
    // In batches: the hashes first, with the table's entries fetched ahead,
    // and the next batch's texts.
    constexpr std::size_t kBatch = 16;
    uint64_t hashes[kBatch];
    for (std::size_t base = 0; base < texts.size(); base += kBatch) {
        if (cache.Stopped(base)) break;
        const std::size_t end = std::min(texts.size(), base + kBatch);
        const std::size_t mask = cache.table.size() - 1;
        for (std::size_t i = end; i < std::min(texts.size(), end + kBatch); ++i) {
            __builtin_prefetch(texts[i].data());
            __builtin_prefetch(texts[i].data() + texts[i].size() - 1);
        }
        for (std::size_t i = base; i < end; ++i) {
            hashes[i - base] = std::hash<std::string_view>()(texts[i]);
            __builtin_prefetch(&cache.table[hashes[i - base] & mask]);
        }
        for (std::size_t i = base; i < end; ++i) {
            const auto [slot, fresh] = cache.SlotOf(texts[i], hashes[i - base]);
            if (fresh) added.push_back(slot);
            textSlot[i] = slot;
        }
        feed.Found(added.size());
    }
    feed.Finish();
    if (cache.stop) {
        // Slots without keys: nothing kept is trusted.
        cache.Clear();
        return {};
    }
    if (!added.empty()) cache.Merge(added);
    std::vector<uint32_t> ranks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) ranks[i] = cache.rank[textSlot[i]];
    return ranks;
}

// ---------------------------------------------------------------- item model

int CKokyakuItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.RowCount();
}

int CKokyakuItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.ColumnCount();
}

QVariant CKokyakuItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        QString text = FromUtf8(m_list.CellText(index.row(), index.column()));
        if (role == Qt::ToolTipRole && text.isEmpty()) return {};
        return text;
    }
    if (role == Qt::TextAlignmentRole) {
        bool right = IsRightAlignedColumn(m_list.Columns()[static_cast<std::size_t>(index.column())].field);
        return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant CKokyakuItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_list.ColumnCount()) return {};
    const CListColumn& c = m_list.Columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return FromUtf8(c.label);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (IsRightAlignedColumn(c.field) ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

// ---------------------------------------------------------------- delegate

QString CKokyakuListDelegate::DisplayText(const QString& text, const QFontMetrics& metrics, int cellWidth,
                                          int column) {
    int room = cellWidth - (column == 0 ? kFirstInset : kOtherInset) - kOtherInset;
    std::string utf8 = text.toStdString();
    std::string cut = CutToWidth(utf8, room, [&](std::string_view s) {
        return metrics.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
    });
    return cut.size() == utf8.size() ? text : FromUtf8(cut);
}

void CKokyakuListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    // Highlight colours of the active group: a selected row stays marked when
    // the list loses the focus.
    const QPalette& pal = option.palette;
    painter->fillRect(option.rect, selected ? pal.brush(QPalette::Active, QPalette::Highlight)
                                            : pal.brush(QPalette::Active, QPalette::Base));
    const int column = index.column();
    const bool right =
        column < m_list.ColumnCount() && IsRightAlignedColumn(m_list.Columns()[static_cast<std::size_t>(column)].field);
    QRect textRect = option.rect.adjusted(column == 0 ? kFirstInset : kOtherInset, 0, -kOtherInset, 0);
    QString text = DisplayText(index.data(Qt::DisplayRole).toString(), option.fontMetrics, option.rect.width(), column);
    painter->save();
    painter->setFont(option.font);
    painter->setPen(selected ? pal.color(QPalette::Active, QPalette::HighlightedText)
                             : pal.color(QPalette::Active, QPalette::Text));
    painter->drawText(textRect, Qt::TextSingleLine | Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft), text);
    painter->restore();
}

QSize CKokyakuListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {option.fontMetrics.horizontalAdvance(index.data().toString()) + 2 * kOtherInset,
            option.fontMetrics.height() + 4};
}

// ---------------------------------------------------------------- list control

CKokyakuListCtrl::CKokyakuListCtrl(std::shared_ptr<const IListCellSource> source, QWidget* parent)
    : QTreeView(parent), m_list(std::make_unique<CKokyakuListModel>(std::move(source))) {
    m_list->SetTextOrder(std::make_shared<CCollatorTextOrder>());
    m_list->SetObserver(this);
    m_model = new CKokyakuItemModel(*m_list, this);
    setModel(m_model);
    setItemDelegate(new CKokyakuListDelegate(*m_list, this));
    SetUpRowList(*this);
    setAllColumnsShowFocus(false);  // drawRow draws the row's focus rectangle
    setTextElideMode(Qt::ElideNone);
    setAccessibleName(QStringLiteral("顧客一覧"));
    ConnectListHeader(*this, *m_list);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& sel, const QItemSelection& desel) { PullSelection(sel, desel); });
    ConnectListFocus(*this, *m_list, m_syncing, [this] { emit SelectionChangedByUser(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit RowDoubleClicked(index.row());
    });
    m_prepare.setSingleShot(true);
    connect(&m_prepare, &QTimer::timeout, this, [this] { PrepareStep(); });
}

void CKokyakuListCtrl::PrepareStep() {
    switch (m_list->PrepareSorts()) {
    case CPreparedRanks::Progress::More:
        m_prepare.start(0);
        break;
    case CPreparedRanks::Progress::Waiting:
        m_prepare.start(kWorkerPollMs);
        break;
    case CPreparedRanks::Progress::Done:
        break;
    }
}

CKokyakuListCtrl::~CKokyakuListCtrl() {
    m_list->StoreColumnWidths();
    m_list->SetObserver(nullptr);
    m_list->SetRows({});
}

void CKokyakuListCtrl::SetColumns(std::vector<CListColumn> columns, ColumnWidthMode mode,
                                  const std::vector<int>& widths) {
    m_list->SetColumns(std::move(columns), mode, widths);
}

void CKokyakuListCtrl::SetSingleSelection(bool single) {
    m_list->SetSingleSelection(single);
    setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

void CKokyakuListCtrl::ColumnsReset() {
    // Widths come from the list model; keep resize signals from overwriting them.
    std::vector<int> widths;
    for (int c = 0; c < m_list->ColumnCount(); ++c) widths.push_back(m_list->ColumnWidth(c));
    m_model->HeadersChanged();
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        m_list->SetColumnWidth(c, widths[static_cast<std::size_t>(c)]);
        header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);
    }
    SelectionChanged();
    SchedulePrepare();
}

void CKokyakuListCtrl::RowsReset() {
    SchedulePrepare();
    std::vector<int> widths;
    for (int c = 0; c < m_list->ColumnCount(); ++c) widths.push_back(m_list->ColumnWidth(c));
    m_model->Reset();
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);
}

void CKokyakuListCtrl::RowInserted(int row) {
    m_model->Inserted(row);
    SchedulePrepare();
}

void CKokyakuListCtrl::RowRemoved(int row) {
    m_model->Removed(row);
    SchedulePrepare();
}

void CKokyakuListCtrl::RowChanged(int row) {
    m_model->Changed(row);
    SchedulePrepare();
}

void CKokyakuListCtrl::SelectionChanged() {
    PushListSelectionSyncing(*this, *m_list, *m_model, std::max(0, m_list->ColumnCount() - 1), m_syncing);
}

void CKokyakuListCtrl::ScrollTo(int row) { ScrollListTo(*this, *m_list, *m_model, row); }

void CKokyakuListCtrl::PullSelection(const QItemSelection& selected, const QItemSelection& deselected) {
    if (m_syncing) return;
    PullListSelection(*m_list, selected, deselected);
    emit SelectionChangedByUser();
}

void CKokyakuListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (hasFocus() && index.row() == m_list->FocusedRow()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = QRect(option.rect.left(), option.rect.top(), header()->length() - header()->offset(),
                           option.rect.height());
        focus.backgroundColor = m_list->IsSelected(index.row()) ? palette().color(QPalette::Highlight)
                                                                : palette().color(QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

void CKokyakuListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuAt(event->globalPos());
}
