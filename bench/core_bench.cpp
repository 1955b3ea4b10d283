// Micro-benchmarks of the toolkit-free core: the settings store, the text and
// number conversions, the countdown and the pick over large folders.

#include "bench_support.h"

#include "rotation/conversions.h"
#include "rotation/countdown.h"
#include "rotation/skins.h"
#include "settings/registry.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include <unistd.h>

namespace {

using namespace quillarbor;
namespace qb = quillarbor::bench;

// Args: how many other values the store already holds.
void BM_StoreRead(benchmark::State& state) {
    qb::writeStore(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            regGetString(RegRoot::CurrentUser, loc::settingDelay, loc::settingValue));
    }
}
BENCHMARK(BM_StoreRead)->ArgName("others")->Arg(0)->Arg(300)->Unit(benchmark::kMicrosecond);

// A write that changes the value: read, lock, rewrite, flush to disk, rename.
void BM_StoreWrite(benchmark::State& state) {
    qb::writeStore(static_cast<int>(state.range(0)));
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        regSaveString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue,
                      flip ? "/skins/a.bmp" : "/skins/b.bmp");
    }
}
BENCHMARK(BM_StoreWrite)->ArgName("others")->Arg(0)->Arg(300)->Unit(benchmark::kMicrosecond);

// A write of the value already stored, as every exit saves the settings it read.
void BM_StoreWriteUnchanged(benchmark::State& state) {
    qb::writeStore(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        regSaveString(RegRoot::CurrentUser, loc::settingDelay, loc::settingValue, "60");
    }
}
BENCHMARK(BM_StoreWriteUnchanged)
    ->ArgName("others")
    ->Arg(0)
    ->Arg(300)
    ->Unit(benchmark::kMicrosecond);

void BM_ParseNumber(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseNumber("2.5"));
        benchmark::DoNotOptimize(parseNumber("57"));
    }
}
BENCHMARK(BM_ParseNumber);

void BM_LeadingNumber(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(leadingNumber("1 5"));
        benchmark::DoNotOptimize(leadingNumber("&H10"));
    }
}
BENCHMARK(BM_LeadingNumber);

void BM_NumberToText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(numberToText(56.0));
        benchmark::DoNotOptimize(numberToText(0.1));
    }
}
BENCHMARK(BM_NumberToText);

void BM_BoolText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(textToBool("True"));
        benchmark::DoNotOptimize(boolToText(false));
    }
}
BENCHMARK(BM_BoolText);

void BM_RoundHalfEven(benchmark::State& state) {
    double x = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(toInt32HalfEven(x));
        x += 1.0;
    }
}
BENCHMARK(BM_RoundHalfEven);

// Drawing a countdown from a delay.
void BM_CountdownDraw(benchmark::State& state) {
    float r = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawCountdownSeconds(2.5, r));
        r = r < 0.99f ? r + 0.01f : 0.0f;
    }
}
BENCHMARK(BM_CountdownDraw);

// The core's share of one tick: the seconds left read back, one less written,
// and the tooltip built and fitted.
void BM_CountdownTick(benchmark::State& state) {
    std::string text = "3600";
    for (auto _ : state) {
        const double t = parseNumber(text).value_or(0.0);
        text = numberToText(t > 0 ? t - 1 : 3600);
        benchmark::DoNotOptimize(fitTrayTip(countdownTooltip(text, "sunset-0007919.bmp")));
    }
}
BENCHMARK(BM_CountdownTick);

// The folder sizes every pick is measured over.
void pickSizes(benchmark::internal::Benchmark* b) {
    b->ArgName("bitmaps")->Arg(1000)->Arg(10000)->Arg(100000);
    b->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

// A pick from a folder read for the first time: listed, sorted, one entry drawn.
void BM_Pick(benchmark::State& state) {
    const std::string folder = qb::skinFolder(static_cast<int>(state.range(0)));
    float r = 0.0f;
    std::size_t listed = 0;
    for (auto _ : state) {
        const SkinList list = SkinList().reread(folder).value_or(SkinList());
        listed = list.size();
        benchmark::DoNotOptimize(
            list[static_cast<std::size_t>(pickIndex(static_cast<int>(list.size()), r))]);
        r = r < 0.99f ? r + 0.01f : 0.0f;
    }
    state.counters["bitmaps"] = static_cast<double>(listed);
}
BENCHMARK(BM_Pick)->Apply(pickSizes);

// The pick as the main window makes it: the list kept from the last pick and
// re-read from disk, which skips the sort when the folder has not changed.
void BM_PickReread(benchmark::State& state) {
    const std::string folder = qb::skinFolder(static_cast<int>(state.range(0)));
    SkinList list = SkinList().reread(folder).value_or(SkinList());
    float r = 0.0f;
    for (auto _ : state) {
        if (auto fresh = list.reread(folder)) {
            list = std::move(*fresh);
        }
        benchmark::DoNotOptimize(
            list[static_cast<std::size_t>(pickIndex(static_cast<int>(list.size()), r))]);
        r = r < 0.99f ? r + 0.01f : 0.0f;
    }
    state.counters["bitmaps"] = static_cast<double>(list.size());
}
BENCHMARK(BM_PickReread)->Apply(pickSizes);

} // namespace

int main(int argc, char** argv) {
    qb::useScratchSettings(qb::scratch().path() / "settings");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // Made before any timing, and flushed: the write-back of a hundred thousand
    // new directory entries would otherwise run during the first benchmarks.
    for (const int count : {1000, 10000, 100000}) {
        qb::skinFolder(count);
    }
    ::sync();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
