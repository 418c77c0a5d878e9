// Reading untrusted files with C libraries we cannot fix: the reading code
// runs in a short-lived child process with memory and time limits, and its
// result comes back through a pipe. A crash, a hang or a runaway allocation
// of the library then ends only the child.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct FenceLimits {
    std::size_t memoryBytes = std::size_t{1} << 30;  // address space the child may add
    unsigned seconds = 30;                            // CPU and wall time of the child
    std::size_t replyBytes = std::size_t{256} << 20;  // the most the child may send back
};

// Runs work in a forked child. The child only runs work and writes its reply
// to the pipe, then leaves with _exit. nullopt when work returned false,
// threw, crashed, overran a limit or sent a malformed reply.
std::optional<std::string> RunFenced(const std::function<bool(std::string& reply)>& work,
                                     const FenceLimits& limits = {});

// The reply's framing: numbers as 8 bytes, texts as their length then bytes.
class CReplyWriter {
public:
    void Number(std::uint64_t n);
    void Text(std::string_view s);
    void Texts(const std::vector<std::string>& list);
    std::string& Bytes() { return m_bytes; }

private:
    std::string m_bytes;
};

// Reads a reply; every read is checked against what is left, so a malformed
// reply fails instead of reading past its end or allocating from its claims.
class CReplyReader {
public:
    explicit CReplyReader(std::string_view bytes) : m_bytes(bytes) {}
    bool Number(std::uint64_t& n);
    bool Text(std::string& s);
    bool Texts(std::vector<std::string>& list);
    bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};
