// ag_generate against libzint on the same bytes at the same symbol size.
//
// Group barcode: 292 bytes with initialization_symbol 1 and symbol_choice 2,
// as the settings page makes it, and both encoders at the smallest
// full-range size that libzint accepts for these bytes (it may need a larger
// one than we do), with reader initialisation. Largest: the largest payload we fit
// (default settings, full-range 32 layers); libzint takes fewer bytes into
// 32 layers, so both encoders also get the largest payload libzint accepts
// there. Neither encoder allows the flag at 32 layers.
//
// The counter allocs_per_symbol counts our operator new calls per symbol:
// a small constant, none per module.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "ag_matrix_ptr_def.h"
#include "aztecgen.h"

namespace {

std::atomic<std::size_t> g_allocations{0};

std::vector<std::uint8_t> random_bytes(std::size_t size)
{
    std::mt19937 rng(20261210);
    std::vector<std::uint8_t> out(size);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

struct Workload {
    std::vector<std::uint8_t> data;
    ag_settings settings;
    unsigned side = 0;
};

unsigned side_of(const std::vector<std::uint8_t>& data, const ag_settings& settings)
{
    ag_matrix* m = nullptr;
    if (ag_generate(&m, data.data(), data.size(), &settings) != ag_ok)
        return 0;
    ag_matrix_ptr owner(m);
    return owner->width;
}

// symbol_choice of full-range `layers`: sizes 1 to 4 alternate with the
// compact ones, 5 and more follow one another.
std::uint8_t full_range_choice(int layers)
{
    return static_cast<std::uint8_t>(layers <= 4 ? 2 + 2 * layers : layers + 6);
}

// libzint's Aztec symbol of full-range `layers`; the side, or 0 when it
// refuses the data at that size.
int zint_encode(zint_symbol* symbol, const std::vector<std::uint8_t>& data, int layers, bool reader_init)
{
    ZBarcode_Clear(symbol);
    symbol->symbology = BARCODE_AZTEC;
    symbol->input_mode = DATA_MODE;
    symbol->option_2 = 4 + layers;  // 5 to 36: full-range 1 to 32 layers
    symbol->output_options = reader_init ? READER_INIT : 0;
    const int rc = ZBarcode_Encode(symbol, data.data(), static_cast<int>(data.size()));
    return rc >= ZINT_ERROR ? 0 : symbol->width;
}

// One payload in the three forms compared: ours as the program asks for it,
// and ours and libzint at the smallest full-range size libzint accepts.
struct Comparison {
    Workload ours;
    Workload ours_at_zint_size;
    int zint_layers = 0;
    bool reader_init = false;
};

Comparison compare(std::vector<std::uint8_t> data, const ag_settings& settings)
{
    Comparison c;
    c.reader_init = settings.initialization_symbol != 0;
    c.ours = {data, settings, side_of(data, settings)};
    zint_symbol* symbol = ZBarcode_Create();
    for (int layers = 1; layers <= 32 && c.zint_layers == 0; ++layers) {
        const ag_settings fixed{7, settings.initialization_symbol, full_range_choice(layers), 23};
        const unsigned side = side_of(data, fixed);
        if (side != 0 && zint_encode(symbol, data, layers, c.reader_init) == static_cast<int>(side)) {
            c.zint_layers = layers;
            c.ours_at_zint_size = {data, fixed, side};
        }
    }
    ZBarcode_Delete(symbol);
    return c;
}

// The group barcode: 292 bytes, the size of a compressed settings image with
// its header, made as the settings page makes it.
const Comparison& group_barcode()
{
    static const Comparison c =
        compare(random_bytes(292), {ag_mask_initialization_symbol | ag_mask_symbol_choice, 1, 2, 0});
    return c;
}

std::size_t largest_that(const std::vector<std::uint8_t>& all, bool (*fits)(const std::vector<std::uint8_t>&))
{
    std::size_t low = 1, high = all.size();
    while (high - low > 1) {
        const std::size_t mid = (low + high) / 2;
        (fits({all.begin(), all.begin() + static_cast<std::ptrdiff_t>(mid)}) ? low : high) = mid;
    }
    return low;
}

// The largest payload we fit at the default settings (full-range 32 layers).
const Workload& largest()
{
    static const Workload w = [] {
        const std::vector<std::uint8_t> all = random_bytes(2500);
        const std::size_t size = largest_that(all, [](const std::vector<std::uint8_t>& d) {
            return side_of(d, {0, 0, 0, 0}) != 0;
        });
        std::vector<std::uint8_t> data(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(size));
        const unsigned side = side_of(data, {0, 0, 0, 0});
        return Workload{std::move(data), {0, 0, 0, 0}, side};
    }();
    return w;
}

// libzint takes fewer bytes into 32 layers: the largest payload it accepts
// there, for both encoders at that size.
const Comparison& largest_for_zint()
{
    static const Comparison c = [] {
        const std::vector<std::uint8_t> all = random_bytes(2500);
        const std::size_t size = largest_that(all, [](const std::vector<std::uint8_t>& d) {
            zint_symbol* symbol = ZBarcode_Create();
            const bool ok = zint_encode(symbol, d, 32, false) != 0;
            ZBarcode_Delete(symbol);
            return ok;
        });
        return compare({all.begin(), all.begin() + static_cast<std::ptrdiff_t>(size)}, {0, 0, 0, 0});
    }();
    return c;
}

void run_ours(benchmark::State& state, const Workload& w)
{
    std::size_t allocations = 0;
    for (auto _ : state) {
        const std::size_t before = g_allocations.load(std::memory_order_relaxed);
        ag_matrix* m = nullptr;
        if (ag_generate(&m, w.data.data(), w.data.size(), &w.settings) != ag_ok) {
            state.SkipWithError("ag_generate failed");
            break;
        }
        benchmark::DoNotOptimize(m->data);
        ag_free_matrix(m);
        allocations += g_allocations.load(std::memory_order_relaxed) - before;
    }
    state.counters["bytes"] = static_cast<double>(w.data.size());
    state.counters["side"] = w.side;
    state.counters["allocs_per_symbol"] =
        state.iterations() ? static_cast<double>(allocations) / static_cast<double>(state.iterations()) : 0;
}

void run_zint(benchmark::State& state, const Comparison& c)
{
    if (c.zint_layers == 0) {
        state.SkipWithError("libzint refuses the payload at every size");
        return;
    }
    zint_symbol* symbol = ZBarcode_Create();
    int side = 0;
    for (auto _ : state) {
        side = zint_encode(symbol, c.ours_at_zint_size.data, c.zint_layers, c.reader_init);
        if (side == 0) {
            state.SkipWithError(symbol->errtxt);
            break;
        }
        benchmark::DoNotOptimize(symbol->encoded_data);
    }
    ZBarcode_Delete(symbol);
    state.counters["bytes"] = static_cast<double>(c.ours_at_zint_size.data.size());
    state.counters["side"] = side;
}

void BM_Ours_GroupBarcode(benchmark::State& state) { run_ours(state, group_barcode().ours); }
void BM_Ours_GroupBarcode_ZintSize(benchmark::State& state) { run_ours(state, group_barcode().ours_at_zint_size); }
void BM_Zint_GroupBarcode_ZintSize(benchmark::State& state) { run_zint(state, group_barcode()); }
void BM_Ours_Largest(benchmark::State& state) { run_ours(state, largest()); }
void BM_Ours_LargestForZint(benchmark::State& state) { run_ours(state, largest_for_zint().ours_at_zint_size); }
void BM_Zint_LargestForZint(benchmark::State& state) { run_zint(state, largest_for_zint()); }

BENCHMARK(BM_Ours_GroupBarcode);
BENCHMARK(BM_Ours_GroupBarcode_ZintSize);
BENCHMARK(BM_Zint_GroupBarcode_ZintSize);
BENCHMARK(BM_Ours_Largest);
BENCHMARK(BM_Ours_LargestForZint);
BENCHMARK(BM_Zint_LargestForZint);

} // namespace

// Counting replacements of the global allocation functions, every form.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
void* counted_malloc(std::size_t size) noexcept
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* p = counted_malloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* p = counted_malloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted_malloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted_malloc(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

BENCHMARK_MAIN();
