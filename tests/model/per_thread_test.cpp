#include "model/Text.h"
#include "platform/PerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace kolvane {
namespace {

std::atomic<int> alive{0};
std::atomic<int> damaged{0};

// Finds out whether its storage was still its own when it went.
struct Watched {
    static constexpr std::uint64_t kIntact = 0x4b6f6c76616e6521;
    std::uint64_t mark = kIntact;
    std::string text = std::string(64, 'x');
    std::thread::id owner = std::this_thread::get_id();
    Watched() { ++alive; }
    ~Watched() {
        if (mark != kIntact || text != std::string(64, 'x')) ++damaged;
        --alive;
    }
};

// Worker threads (as the year pool's) each get an object of their own, intact until it is destroyed at
// the thread's end; the CP932 cache that lives on it converts alike in every thread.
TEST(PerThread, OwnObjectIntactUntilTheThreadEnds) {
    std::atomic<int> wrong{0};
    for (int round = 0; round < 3; ++round) {
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&wrong] {
                auto& first = platform::PerThread<Watched>();
                if (&first != &platform::PerThread<Watched>() || first.owner != std::this_thread::get_id())
                    ++wrong;
                for (int k = 0; k < 300; ++k) // past the cache's bound, so it is cleared too
                    if (EncodeCp932("正常" + std::to_string(k) + "欠測") !=
                        "\x90\xB3\x8F\xED" + std::to_string(k) + "\x8C\x87\x91\xAA")
                        ++wrong;
            });
        for (auto& thread : threads)
            thread.join();
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(damaged, 0);
}

} // namespace
} // namespace kolvane
