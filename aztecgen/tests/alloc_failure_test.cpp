// Every allocation of ag_generate failing in turn: the call reports
// ag_out_of_memory, lets no exception out and leaks nothing (the sanitizer
// build checks the leaks).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "aztecgen.h"

namespace {

std::atomic<long> g_countdown{0};  // 0: off; n: the n-th allocation from now fails

bool should_fail()
{
    long left = g_countdown.load(std::memory_order_relaxed);
    while (left > 0) {
        if (g_countdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed))
            return left == 1;
    }
    return false;
}

void* allocate(std::size_t size)
{
    if (should_fail())
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* p = allocate(size))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

TEST(AgGenerate, EveryFailedAllocationIsOutOfMemory)
{
    struct Case {
        std::size_t size;
        ag_settings settings;
    };
    const Case cases[] = {
        {5, {0, 0, 0, 0}},      // 0: compact
        {292, {3, 1, 2, 0}},    // 1: full-range with the flag, as the group barcode
        {1500, {0, 0, 0, 0}},   // 2: 12-bit codewords
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        const std::vector<std::uint8_t> data(c.size, 0x6B);
        bool reached_success = false;
        std::size_t null_results = 0;
        for (long n = 1; n < 200 && !reached_success; ++n) {
            SCOPED_TRACE(testing::Message() << "row " << row << ", allocation " << n);
            ag_matrix* sentinel = reinterpret_cast<ag_matrix*>(&n);
            ag_matrix* result = sentinel;
            g_countdown = n;
            const int rc = ag_generate(&result, data.data(), data.size(), &c.settings);
            const bool failed_one = g_countdown.load() == 0;
            g_countdown = 0;
            if (!failed_one) {
                // Fewer than n allocations: the call had nothing to fail.
                ASSERT_EQ(rc, ag_ok);
                ag_free_matrix(result);
                reached_success = true;
                continue;
            }
            ASSERT_EQ(rc, ag_out_of_memory);
            // The result record or buffer failing stores null; a failure
            // earlier on leaves *result as it was.
            EXPECT_TRUE(result == nullptr || result == sentinel);
            null_results += result == nullptr;
        }
        EXPECT_TRUE(reached_success) << "row " << row;
        EXPECT_EQ(null_results, 2u) << "row " << row << ": the record and its buffer";
    }
}

} // namespace
