// Copies of many short texts that live as long as the arena, without an
// allocation per text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CTextArena {
public:
    std::string_view Keep(std::string_view text) {
        if (text.size() > kChunk / 4) return m_long.emplace_back(text);
        if (m_chunks.empty() || m_used + text.size() > kChunk) {
            m_chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunk));
            m_used = 0;
        }
        char* at = m_chunks.back().get() + m_used;
        std::copy(text.begin(), text.end(), at);
        m_used += text.size();
        return std::string_view(at, text.size());
    }
    void Clear() {
        m_chunks.clear();
        m_long.clear();
        m_used = 0;
    }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::size_t m_used = 0;
    std::deque<std::string> m_long;  // texts too long for a chunk
};
