#include "common/Fence.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define MILVANE_FENCE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MILVANE_FENCE_SANITIZED 1
#endif
#endif
#ifdef MILVANE_FENCE_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr std::size_t kHeaderBytes = 8;

// The process's address space now, from /proc; 0 when unknown.
std::size_t AddressSpaceBytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long pages = 0;
    const bool ok = std::fscanf(f, "%lu", &pages) == 1;
    std::fclose(f);
    return ok ? pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void PutNumber(std::string& out, std::uint64_t n) {
    for (int i = 0; i < 8; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
}

std::uint64_t GetNumber(const char* p) {
    std::uint64_t n = 0;
    for (int i = 7; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(p[i]);
    return n;
}

[[noreturn]] void RunChild(int fd, const std::function<bool(std::string&)>& work, const FenceLimits& limits,
                           std::size_t addressSpace) {
    // Handlers of the parent (a crash reporter, a sanitizer, a fuzzer) must not
    // act for the child: a fault simply ends it.
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGALRM, SIGXCPU, SIGPIPE, SIGTERM})
        signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
#ifdef MILVANE_FENCE_SANITIZED
    // A fault the sanitizer finds in the fenced library ends the child like a
    // crash; the fuzzer's death handler must not report it as its own.
    __sanitizer_set_death_callback(nullptr);
#else
    if (addressSpace > 0) {
        rlimit as{addressSpace + limits.memoryBytes, addressSpace + limits.memoryBytes};
        setrlimit(RLIMIT_AS, &as);
    }
#endif
    rlimit cpu{limits.seconds, limits.seconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
    alarm(limits.seconds + 1);
    int status = 1;
    try {
        std::string reply;
        if (work(reply) && reply.size() <= limits.replyBytes) {
            std::string header;
            PutNumber(header, reply.size());
            if (WriteAll(fd, header.data(), header.size()) && WriteAll(fd, reply.data(), reply.size())) status = 0;
        }
    } catch (...) {
    }
    _exit(status);
}

using Clock = std::chrono::steady_clock;

int MillisLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

// Reads the child's reply until the end of the pipe; false on overrun.
bool ReadReply(int fd, std::size_t cap, Clock::time_point deadline, std::string& bytes) {
    char buf[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, MillisLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (bytes.size() + static_cast<std::size_t>(n) > cap) return false;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
}

// Waits for the child to end by the deadline; kills it after that.
bool EndedCleanly(pid_t pid, Clock::time_point deadline) {
    int status = 0;
    for (;;) {
        pid_t got = waitpid(pid, &status, WNOHANG);
        if (got < 0 && errno == EINTR) continue;
        if (got == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (got < 0) return false;
        if (MillisLeft(deadline) == 0) break;
        usleep(2000);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return false;
}

}  // namespace

std::optional<std::string> RunFenced(const std::function<bool(std::string&)>& work, const FenceLimits& limits) {
    const std::size_t addressSpace = AddressSpaceBytes();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    std::fflush(nullptr);  // nothing buffered may be written twice
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        close(fds[0]);
        RunChild(fds[1], work, limits, addressSpace);
    }
    close(fds[1]);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.seconds + 2);
    std::string bytes;
    const bool read = ReadReply(fds[0], limits.replyBytes + kHeaderBytes, deadline, bytes);
    close(fds[0]);
    const bool clean = EndedCleanly(pid, read ? deadline : Clock::now());
    if (!read || !clean || bytes.size() < kHeaderBytes) return std::nullopt;
    if (GetNumber(bytes.data()) != bytes.size() - kHeaderBytes) return std::nullopt;
    return bytes.substr(kHeaderBytes);
}

void CReplyWriter::Number(std::uint64_t n) { PutNumber(m_bytes, n); }

void CReplyWriter::Text(std::string_view s) {
    Number(s.size());
    m_bytes.append(s);
}

void CReplyWriter::Texts(const std::vector<std::string>& list) {
    Number(list.size());
    for (const std::string& s : list) Text(s);
}

bool CReplyReader::Number(std::uint64_t& n) {
    if (m_bytes.size() - m_pos < 8) return false;
    n = GetNumber(m_bytes.data() + m_pos);
    m_pos += 8;
    return true;
}

bool CReplyReader::Text(std::string& s) {
    std::uint64_t n = 0;
    if (!Number(n) || n > m_bytes.size() - m_pos) return false;
    s.assign(m_bytes.substr(m_pos, static_cast<std::size_t>(n)));
    m_pos += static_cast<std::size_t>(n);
    return true;
}

bool CReplyReader::Texts(std::vector<std::string>& list) {
    std::uint64_t n = 0;
    // Each text takes at least its length: a count beyond that is a lie.
    if (!Number(n) || n > (m_bytes.size() - m_pos) / 8) return false;
    list.clear();
    list.reserve(static_cast<std::size_t>(n));
    for (std::uint64_t i = 0; i < n; ++i) {
        list.emplace_back();
        if (!Text(list.back())) return false;
    }
    return true;
}
