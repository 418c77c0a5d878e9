// The fenced child: whatever the reading code does, the caller goes on.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "common/Fence.h"

namespace {

TEST(Fence, FaultsOfTheChildBecomeNoReply) {
    FenceLimits quick;
    quick.seconds = 1;
    quick.memoryBytes = std::size_t{64} << 20;
    quick.replyBytes = 1000;
    struct Case {
        const char* name;
        std::function<bool(std::string&)> work;
    };
    const Case cases[] = {
        {"refused", [](std::string&) { return false; }},
        {"segfault", [](std::string&) { std::raise(SIGSEGV); return true; }},
        {"abort", [](std::string&) -> bool { std::abort(); }},
        {"throws", [](std::string&) -> bool { throw std::runtime_error("x"); }},
        {"spins", [](std::string&) {
             volatile bool spin = true;
             while (spin) {
             }
             return true;
         }},
        {"sleeps", [](std::string&) { std::this_thread::sleep_for(std::chrono::seconds(30)); return true; }},
        {"reply too long", [](std::string& out) { out.assign(1001, 'x'); return true; }},
        {"memory", [](std::string& out) {
             // More than the limit allows: the allocation fails inside the child.
             std::string big(std::size_t{512} << 20, 'x');
             out = big.substr(0, 1);
             return true;
         }},
    };
    for (const Case& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        if (std::strcmp(c.name, "memory") == 0) continue;  // no address-space limit under the sanitizer
#endif
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunFenced(c.work, quick), std::nullopt);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(Fence, ReplyComesBackWhole) {
    const std::string big(std::size_t{3} << 20, 'y');  // larger than a pipe's buffer
    for (const std::string& text : {std::string(), std::string("a\0b", 3), big}) {
        std::optional<std::string> reply = RunFenced([&text](std::string& out) {
            out = text;
            return true;
        });
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, text);
    }
}

TEST(Fence, ReplyFramingRefusesLies) {
    CReplyWriter w;
    w.Number(7);
    w.Texts({"一", "", "three"});
    const std::string bytes = w.Bytes();
    CReplyReader r(bytes);
    std::uint64_t n = 0;
    std::vector<std::string> texts;
    ASSERT_TRUE(r.Number(n) && r.Texts(texts));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(texts, (std::vector<std::string>{"一", "", "three"}));
    // Every cut of the reply, and counts and lengths that claim more than is there.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        CReplyReader part(std::string_view(bytes).substr(0, cut));
        EXPECT_FALSE(part.Number(n) && part.Texts(texts) && part.AtEnd()) << cut;
    }
    CReplyWriter lie;
    lie.Number(~std::uint64_t{0});
    CReplyReader count(lie.Bytes());
    EXPECT_FALSE(count.Texts(texts));
    CReplyReader length(lie.Bytes());
    std::string text;
    EXPECT_FALSE(length.Text(text));
}

}  // namespace
