// Geometry of the finished symbol: rings, bull's eye, mode message, grid, orientation.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ag_matrix_ptr_def.h"
#include "aztecgen.h"
#include "generate_bulls_eye.h"
#include "generate_data_message.h"
#include "generate_mode_message.h"
#include "generate_symbol_info.h"
#include "symbol_matrix.h"
#include "wrapping_clockwise.h"
#include "rs_check.h"

namespace tavrik::aztecgen {
namespace {

ag_matrix_ptr make_symbol(std::uint8_t symbol_choice, std::uint8_t flag, const std::vector<std::uint8_t>& data)
{
    const ag_settings settings{7, flag, symbol_choice, 23};
    ag_matrix* result = nullptr;
    EXPECT_EQ(ag_generate(&result, data.data(), data.size(), &settings), ag_ok);
    return ag_matrix_ptr(result);
}

// Module at centre-relative column x and row y; row 0 of the matrix is the top.
int module(const ag_matrix& m, int x, int y)
{
    const int c = static_cast<int>(m.width / 2);
    return m.data[static_cast<std::size_t>(y + c) * m.width + static_cast<std::size_t>(x + c)];
}

int ring_of(int x, int y)
{
    return std::max(std::abs(x), std::abs(y));
}

struct Corner {
    int x, y;  // signs of the corner
    int corner, horizontal_neighbour, vertical_neighbour;
};

// The mode ring's corners with row 0 at the top: three dark modules at the
// bottom left, two at the bottom right, one at the top right, none at the
// top left.
const Corner kCorners[] = {
    {-1, +1, 1, 1, 1},  // bottom left
    {+1, +1, 1, 0, 1},  // bottom right
    {+1, -1, 0, 0, 1},  // top right
    {-1, -1, 0, 0, 0},  // top left
};

void expect_orientation(const ag_matrix& m, int r)
{
    for (const Corner& c : kCorners) {
        SCOPED_TRACE(testing::Message() << "corner " << c.x << "," << c.y);
        EXPECT_EQ(module(m, c.x * r, c.y * r), c.corner);
        EXPECT_EQ(module(m, c.x * (r - 1), c.y * r), c.horizontal_neighbour);
        EXPECT_EQ(module(m, c.x * r, c.y * (r - 1)), c.vertical_neighbour);
    }
}

TEST(Layout, Compact15x15)
{
    const ag_matrix_ptr m = make_symbol(3, 0, {0x12, 0x34});
    ASSERT_EQ(m->width, 15u);
    // Bull's eye: 9 x 9, dark centre and dark rings at distances 2 and 4.
    for (int y = -4; y <= 4; ++y)
        for (int x = -4; x <= 4; ++x)
            ASSERT_EQ(module(*m, x, y), ring_of(x, y) % 2 == 0 ? 1 : 0) << x << "," << y;
    expect_orientation(*m, 5);
}

TEST(Layout, FullRange19x19)
{
    const ag_matrix_ptr m = make_symbol(4, 0, {0x12, 0x34});
    ASSERT_EQ(m->width, 19u);
    // Bull's eye: 13 x 13 with the grid lines, dark centre, dark rings at 2, 4 and 6.
    for (int y = -6; y <= 6; ++y)
        for (int x = -6; x <= 6; ++x)
            ASSERT_EQ(module(*m, x, y), ring_of(x, y) % 2 == 0 ? 1 : 0) << x << "," << y;
    expect_orientation(*m, 7);
    // Grid row and column 0 run through the mode ring and the data layers.
    for (int v = -9; v <= 9; ++v) {
        EXPECT_EQ(module(*m, v, 0), v % 2 == 0 ? 1 : 0) << "row 0, column " << v;
        EXPECT_EQ(module(*m, 0, v), v % 2 == 0 ? 1 : 0) << "column 0, row " << v;
    }
}

TEST(Layout, GridLinesOf37x37)
{
    const ag_matrix_ptr m = make_symbol(11, 0, std::vector<std::uint8_t>(60, 0xA5));
    ASSERT_EQ(m->width, 37u);
    for (int line : {-16, 0, 16})
        for (int v = -18; v <= 18; ++v) {
            EXPECT_EQ(module(*m, v, line), v % 2 == 0 ? 1 : 0) << "row " << line << ", column " << v;
            EXPECT_EQ(module(*m, line, v), v % 2 == 0 ? 1 : 0) << "column " << line << ", row " << v;
        }
    expect_orientation(*m, 7);
}

TEST(Layout, TheFlagChangesOnlyTheModeRing)
{
    struct Case {
        std::uint8_t symbol_choice;
        int mode_ring;
    };
    for (const Case c : {Case{3, 5}, Case{4, 7}, Case{11, 7}, Case{28, 7}}) {
        SCOPED_TRACE(testing::Message() << "symbol_choice " << int(c.symbol_choice));
        const std::vector<std::uint8_t> data{1, 2, 3, 4, 5};
        const ag_matrix_ptr plain = make_symbol(c.symbol_choice, 0, data);
        const ag_matrix_ptr flagged = make_symbol(c.symbol_choice, 1, data);
        ASSERT_EQ(plain->width, flagged->width);
        const int half = static_cast<int>(plain->width / 2);
        int differences = 0;
        for (int y = -half; y <= half; ++y)
            for (int x = -half; x <= half; ++x)
                if (module(*plain, x, y) != module(*flagged, x, y)) {
                    ++differences;
                    EXPECT_EQ(ring_of(x, y), c.mode_ring) << x << "," << y;
                }
        EXPECT_GT(differences, 0);
    }
}

// Counts the modules that the rings write, through the real view.
class counting_view : public symbol_matrix {
public:
    counting_view(matrix* mtx, symbol_matrix* inner) : symbol_matrix(mtx), _inner(inner) {}
    void set(int x, int y, std::uint8_t value) override
    {
        ++count;
        _inner->set(x, y, value);
    }
    std::size_t count = 0;

private:
    symbol_matrix* _inner;
};

TEST(Layout, RingsFillEveryModuleOnceForEverySize)
{
    constexpr std::uint8_t kUnset = 2;
    for (const symbol_table_entry& entry : symbol_table) {
        SCOPED_TRACE(testing::Message() << (entry.compact ? "compact " : "full-range ") << int(entry.layers));
        symbol_info info{};
        generate_symbol_info(&info, entry, 0);
        matrix mtx(entry.size, entry.size, kUnset);
        std::unique_ptr<symbol_matrix> view;
        std::size_t grid_modules = 0;
        if (entry.compact) {
            view = std::make_unique<symbol_matrix>(&mtx);
        } else {
            view = std::make_unique<full_symbol_matrix>(&mtx);
            const int half = entry.size / 2;
            const std::size_t lines = 2 * static_cast<std::size_t>(half / 16) + 1;
            grid_modules = 2 * lines * entry.size - lines * lines;
        }
        counting_view counter(&mtx, view.get());
        wrapping_clockwise(&counter, bits(data_message_size(info), 1), info.data_message.layer_width,
                           info.data_message.first_layer_height);
        wrapping_clockwise(&counter, bits(entry.compact ? 40 : 52, 1), info.mode_message.layer_width,
                           info.mode_message.first_layer_height);
        wrapping_clockwise(&counter, bits(entry.compact ? 81 : 144, 1), info.bulls_eye.layer_width,
                           info.bulls_eye.first_layer_height);
        std::size_t unset = 0;
        for (std::size_t y = 0; y < mtx.height(); ++y)
            for (std::size_t x = 0; x < mtx.width(); ++x)
                unset += mtx.at(x, y) == kUnset;
        EXPECT_EQ(unset, 0u);
        EXPECT_EQ(counter.count + grid_modules, std::size_t{entry.size} * entry.size) << "a module written twice";
    }
}

TEST(Layout, WrappingStartsBesideTheBottomLeftCornerInnerModuleFirst)
{
    // Compact data ring (h = 15, c = 2): the first domino is at column -5,
    // rows 6 (inner) and 7 (outer); the first side runs left to right.
    matrix mtx(15, 15, 0);
    symbol_matrix view(&mtx);
    bits data(104, 0);
    data[0] = 1;   // inner module of the first domino
    data[3] = 1;   // outer module of the second domino
    wrapping_clockwise(&view, data, 2, 15);
    EXPECT_EQ(mtx.at(7 - 5, 7 + 6), 1);
    EXPECT_EQ(mtx.at(7 - 4, 7 + 7), 1);
    int dark = 0;
    for (std::size_t y = 0; y < 15; ++y)
        for (std::size_t x = 0; x < 15; ++x)
            dark += mtx.at(x, y);
    EXPECT_EQ(dark, 2);
}

TEST(Layout, CompactModeRingRunsClockwiseFromTheBottomLeft)
{
    // The 40 modules of the compact mode ring (h = 11, c = 1), numbered 1 to
    // 40 in the order laid: each side starts beside one corner and ends in
    // the next one.
    matrix mtx(15, 15, 0);
    symbol_matrix view(&mtx);
    bits ring(40);
    for (std::size_t i = 0; i < ring.size(); ++i)
        ring[i] = static_cast<std::uint8_t>(i + 1);
    wrapping_clockwise(&view, ring, 1, 11);
    struct Step {
        int number, x, y;
    };
    const Step steps[] = {
        {1, -4, +5},  {10, +5, +5},   // 0, 1: side 0, row +5 left to right
        {11, +5, +4}, {20, +5, -5},   // 2, 3: side 1, column +5 upwards
        {21, +4, -5}, {30, -5, -5},   // 4, 5: side 2, row -5 right to left
        {31, -5, -4}, {40, -5, +5},   // 6, 7: side 3, column -5 downwards
    };
    for (std::size_t row = 0; row < std::size(steps); ++row) {
        const Step& s = steps[row];
        EXPECT_EQ(mtx.at(static_cast<std::size_t>(7 + s.x), static_cast<std::size_t>(7 + s.y)), s.number)
            << "row " << row;
    }
    for (int x = -4; x <= 5; ++x)
        EXPECT_EQ(mtx.at(static_cast<std::size_t>(7 + x), 12), x + 5) << "side 0, column " << x;
}

TEST(Layout, PlacementCoordinatesSkipTheGridLines)
{
    struct Case {
        int placement, symbol;
    };
    const Case cases[] = {
        {0, 1}, {14, 15}, {15, 17}, {29, 31}, {30, 33}, {70, 75},
        {-1, -1}, {-15, -15}, {-16, -17}, {-30, -31}, {-31, -33}, {-71, -75},
    };
    for (const Case c : cases)
        EXPECT_EQ(full_symbol_matrix::to_symbol(c.placement), c.symbol) << "placement " << c.placement;

    // Through the view: placement (15, -16) of a 37 x 37 symbol is symbol
    // column 17, row -17.
    matrix mtx(37, 37, 0);
    full_symbol_matrix view(&mtx);
    EXPECT_EQ(mtx.at(18 + 17, 18 - 17), 0);
    view.set(15, -16, 1);
    EXPECT_EQ(mtx.at(18 + 17, 18 - 17), 1);
}

unsigned bits_value(const bits& b, std::size_t first, std::size_t count)
{
    unsigned v = 0;
    for (std::size_t i = first; i < first + count; ++i)
        v = (v << 1) | b[i];
    return v;
}

TEST(ModeMessage, FieldsAndOrientationModules)
{
    struct Case {
        std::size_t entry;
        std::uint8_t flag;
        std::size_t n;
        std::size_t size;
        unsigned layers_field;
        unsigned length_field;
    };
    const Case cases[] = {
        {2, 0, 20, 40, 1, 19},                 // 0: compact 2 layers
        {0, 1, 10, 40, 0, 9 | 32},             // 1: compact 1 layer, flagged
        {8, 0, 100, 52, 4, 99},                // 2: full-range 5 layers
        {25, 1, 1000, 52, 21, 999 | 1024},     // 3: full-range 22 layers, flagged
        {35, 0, 1278, 52, 31, 1277},           // 4: full-range 32 layers
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        symbol_info info{};
        generate_symbol_info(&info, symbol_table[c.entry], c.flag);
        bits message;
        generate_mode_message(&message, info, c.n);
        ASSERT_EQ(message.size(), c.size);
        const std::size_t side = c.size / 4;
        const std::size_t q = side - 3;
        // Corner modules: end of one side and start of the next.
        EXPECT_EQ(message[0], 1);
        const std::uint8_t ends[4][3] = {{0, 1, 1}, {1, 0, 0}, {0, 0, 0}, {1, 1, 0}};
        for (std::size_t s = 0; s < 4; ++s) {
            const std::size_t end = (s + 1) * side;
            EXPECT_EQ(message[end - 2], ends[s][0]) << "side " << s;
            EXPECT_EQ(message[end - 1], ends[s][1]) << "side " << s;
            if (s < 3) {
                EXPECT_EQ(message[end], ends[s][2]) << "side " << s;
            }
        }
        // The fields, taken out from between the orientation modules.
        bits payload;
        for (std::size_t s = 0; s < 4; ++s)
            payload.insert(payload.end(), message.begin() + static_cast<std::ptrdiff_t>(s * side + 1),
                           message.begin() + static_cast<std::ptrdiff_t>(s * side + 1 + q));
        const std::size_t size_bits = info.mode_message.bits_on_symbol_size;
        EXPECT_EQ(bits_value(payload, 0, size_bits), c.layers_field);
        EXPECT_EQ(bits_value(payload, size_bits, info.mode_message.bits_on_message_length), c.length_field);
        // The fields and their check words form one codeword over GF(16).
        std::vector<unsigned> words;
        for (std::size_t i = 0; i < payload.size(); i += 4)
            words.push_back(bits_value(payload, i, 4));
        ASSERT_EQ(words.size(), info.mode_message.codeword_count);
        EXPECT_TRUE(test::is_rs_codeword(words, info.compact ? 5 : 6, 16, 19));
    }
}

TEST(BullsEye, RingValues)
{
    for (std::size_t entry : {0u, 1u}) {
        symbol_info info{};
        generate_symbol_info(&info, symbol_table[entry], 0);
        bits eye;
        generate_bulls_eye(&eye, info);
        EXPECT_EQ(eye.size(), info.compact ? 81u : 144u);
        EXPECT_EQ(eye.front(), info.compact ? 1 : 0);
        EXPECT_EQ(eye.back(), 1) << "the outermost ring is dark in both kinds";
    }
}

} // namespace
} // namespace tavrik::aztecgen
