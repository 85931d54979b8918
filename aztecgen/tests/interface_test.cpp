// The flat interface: argument and settings checks, result codes, ownership.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "ag_matrix_ptr_def.h"
#include "aztecgen.h"

namespace {

const std::uint8_t kByte[] = {0x41};

struct SettingsCase {
    const char* note;
    bool null_data;
    std::size_t size;
    bool null_settings;
    ag_settings settings;
    int expected;
};

const SettingsCase kSettingsCases[] = {
    // 0
    {"no data at all passes the argument check and reports no input", true, 0, true, {}, ag_no_input_data},
    // 1
    {"null data with a size is refused", true, 1, true, {}, ag_invalid_parameter},
    // 2
    {"empty input with settings", false, 0, false, {7, 0, 0, 23}, ag_no_input_data},
    // 3
    {"null settings take every default", false, 1, true, {}, ag_ok},
    // 4
    {"the largest valid values pass the checks (32 layers takes no flag)", false, 1, false, {7, 1, 38, 99},
     ag_too_much_input_data},
    // 5
    {"symbol_choice 39 is refused", false, 1, false, {ag_mask_symbol_choice, 0, 39, 0}, ag_invalid_parameter},
    // 6
    {"redundancy 100 is refused", false, 1, false, {ag_mask_error_correction_redundancy, 0, 0, 100},
     ag_invalid_parameter},
    // 7
    {"initialization_symbol 2 is refused", false, 1, false, {ag_mask_initialization_symbol, 2, 0, 0},
     ag_invalid_parameter},
    // 8
    {"a field without its mask bit is ignored, whatever it holds", false, 1, false, {3, 0, 0, 200}, ag_ok},
    // 9
    {"mask 0 ignores every field", false, 1, false, {0, 9, 200, 200}, ag_ok},
    // 10
    {"unknown mask bits are ignored", false, 1, false, {0xFFFFFFF8u, 9, 200, 200}, ag_ok},
    // 11
    {"an invalid field is found before no input is reported", false, 0, false, {7, 2, 0, 23},
     ag_invalid_parameter},
    // 12
    {"an invalid field is found even with null data", true, 0, false, {7, 0, 39, 23}, ag_invalid_parameter},
};

TEST(AgGenerate, ChecksArgumentsAndSettings)
{
    for (std::size_t row = 0; row < std::size(kSettingsCases); ++row) {
        const SettingsCase& c = kSettingsCases[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ": " << c.note);
        ag_matrix* sentinel = reinterpret_cast<ag_matrix*>(&row);
        ag_matrix* result = sentinel;
        const int rc = ag_generate(&result, c.null_data ? nullptr : kByte, c.size,
                                   c.null_settings ? nullptr : &c.settings);
        EXPECT_EQ(rc, c.expected);
        if (rc == ag_ok) {
            ASSERT_NE(result, nullptr);
            EXPECT_NE(result, sentinel);
            ag_free_matrix(result);
        } else {
            EXPECT_EQ(result, sentinel) << "a failed call must leave *result untouched";
        }
    }
}

TEST(AgGenerate, NullResultIsRefused)
{
    EXPECT_EQ(ag_generate(nullptr, kByte, 1, nullptr), ag_invalid_parameter);
    EXPECT_EQ(ag_generate(nullptr, nullptr, 0, nullptr), ag_invalid_parameter);
}

TEST(AgGenerate, IgnoredFieldsTakeTheirDefaults)
{
    // Redundancy 200 without its bit acts as 23, so the symbol equals the
    // one made with no settings at all.
    std::vector<std::uint8_t> data(40, 0x5A);
    ag_matrix* plain = nullptr;
    ag_matrix* masked = nullptr;
    const ag_settings settings{ag_mask_initialization_symbol | ag_mask_symbol_choice, 0, 0, 200};
    ASSERT_EQ(ag_generate(&plain, data.data(), data.size(), nullptr), ag_ok);
    ASSERT_EQ(ag_generate(&masked, data.data(), data.size(), &settings), ag_ok);
    ag_matrix_ptr plain_ptr(plain);
    ag_matrix_ptr masked_ptr(masked);
    ASSERT_EQ(plain->width, masked->width);
    EXPECT_EQ(std::vector<std::uint8_t>(plain->data, plain->data + plain->width * plain->height),
              std::vector<std::uint8_t>(masked->data, masked->data + masked->width * masked->height));
}

// The side of the symbol, 0 when the call fails.
std::uint32_t side_of(std::size_t count, std::uint8_t byte, const ag_settings* settings)
{
    const std::vector<std::uint8_t> data(count, byte);
    ag_matrix* result = nullptr;
    if (ag_generate(&result, data.data(), data.size(), settings) != ag_ok)
        return 0;
    ag_matrix_ptr owner(result);
    return owner->width;
}

TEST(AgGenerate, DefaultRedundancyIs23)
{
    // Payloads at the edge of a size: 6 bytes fit 15 x 15 at 23 % but not at
    // 24 %; 19 bytes fit 19 x 19 at 22 % but not at 23 %.
    struct Case {
        std::size_t count;
        std::uint32_t side_at_default;
        std::uint8_t other_redundancy;
        std::uint32_t side_at_other;
    };
    const Case cases[] = {
        {6, 15, 24, 19},   // 0
        {19, 23, 22, 19},  // 1
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        const ag_settings without_bit{ag_mask_initialization_symbol | ag_mask_symbol_choice, 0, 0, c.other_redundancy};
        const ag_settings other{ag_mask_error_correction_redundancy, 0, 0, c.other_redundancy};
        EXPECT_EQ(side_of(c.count, 0x5A, nullptr), c.side_at_default);
        EXPECT_EQ(side_of(c.count, 0x5A, &without_bit), c.side_at_default);
        EXPECT_EQ(side_of(c.count, 0x5A, &other), c.side_at_other);
    }
}

TEST(AgGenerate, LargestSymbolAtRedundancy0TakesItsLastCodewords)
{
    // Full-range 32 layers holds 1664 codewords; at 0 % it takes 1661 data
    // words and the 3 fixed check words. 2486 bytes of 0x5A are 19930 bits in
    // two Binary Shift runs, 1661 unstuffed 12-bit words; runs of 0x00 or
    // 0xFF are stuffed and fit fewer bytes.
    struct Case {
        std::uint8_t byte;
        std::size_t largest;
    };
    const ag_settings settings{ag_mask_error_correction_redundancy, 0, 0, 0};
    for (const Case c : {Case{0x5A, 2486}, Case{0x00, 2279}, Case{0xFF, 2279}}) {
        SCOPED_TRACE(testing::Message() << "byte " << int(c.byte));
        EXPECT_EQ(side_of(c.largest, c.byte, &settings), 151u);
        EXPECT_EQ(side_of(c.largest + 1, c.byte, &settings), 0u);
    }
    const std::vector<std::uint8_t> data(2487, 0x5A);
    ag_matrix* result = nullptr;
    EXPECT_EQ(ag_generate(&result, data.data(), data.size(), &settings), ag_too_much_input_data);
}

TEST(AgGenerate, ResultIsSquareWithOnlyZeroAndOneBytes)
{
    for (std::uint8_t choice = 3; choice <= 38; ++choice) {
        SCOPED_TRACE(testing::Message() << "symbol_choice " << int(choice));
        const ag_settings settings{ag_mask_symbol_choice | ag_mask_error_correction_redundancy, 0, choice, 0};
        ag_matrix* result = nullptr;
        ASSERT_EQ(ag_generate(&result, kByte, 1, &settings), ag_ok);
        ag_matrix_ptr owner(result);
        EXPECT_EQ(owner->width, owner->height);
        for (std::uint32_t i = 0; i < owner->width * owner->height; ++i)
            ASSERT_LE(owner->data[i], 1) << "module " << i;
    }
}

TEST(AgGenerate, InputBeyondTheLargestSymbolIsTooMuch)
{
    std::vector<std::uint8_t> data(100000, 0x33);
    ag_matrix* result = nullptr;
    EXPECT_EQ(ag_generate(&result, data.data(), data.size(), nullptr), ag_too_much_input_data);
    EXPECT_EQ(result, nullptr);
}

TEST(AgGenerate, CallsOnSeveralThreadsGiveTheSameSymbols)
{
    // The generator keeps no state between calls.
    std::vector<std::vector<std::uint8_t>> payloads;
    for (std::size_t i = 0; i < 4; ++i)
        payloads.emplace_back(50 + 300 * i, static_cast<std::uint8_t>(0x31 * i + 7));
    const auto modules = [](const std::vector<std::uint8_t>& data) {
        ag_matrix* m = nullptr;
        EXPECT_EQ(ag_generate(&m, data.data(), data.size(), nullptr), ag_ok);
        ag_matrix_ptr owner(m);
        return std::vector<std::uint8_t>(owner->data, owner->data + owner->width * owner->height);
    };
    std::vector<std::vector<std::uint8_t>> alone;
    for (const auto& p : payloads)
        alone.push_back(modules(p));

    std::vector<std::vector<std::uint8_t>> parallel(payloads.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < payloads.size(); ++i)
        threads.emplace_back([&, i] {
            for (int round = 0; round < 5; ++round)
                parallel[i] = modules(payloads[i]);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(parallel, alone);
}

TEST(AgFreeMatrix, AcceptsNull)
{
    EXPECT_EQ(ag_free_matrix(nullptr), ag_ok);
}

TEST(AgMatrixPtr, OwnsOneMatrix)
{
    // Under AddressSanitizer a double free or a leak fails this test.
    ag_matrix* first = nullptr;
    ag_matrix* second = nullptr;
    ASSERT_EQ(ag_generate(&first, kByte, 1, nullptr), ag_ok);
    ASSERT_EQ(ag_generate(&second, kByte, 1, nullptr), ag_ok);

    ag_matrix_ptr owner;
    EXPECT_FALSE(owner);
    owner.reset(first);
    owner.reset(first);  // the same pointer again is not freed
    EXPECT_EQ(owner.get(), first);
    EXPECT_EQ(owner->width, 15u);
    owner.reset(second);  // frees first
    EXPECT_EQ(owner.get(), second);

    ag_matrix_ptr moved(std::move(owner));
    EXPECT_EQ(moved.get(), second);
    EXPECT_FALSE(owner);
    moved.reset();
    EXPECT_FALSE(moved);
}

} // namespace
