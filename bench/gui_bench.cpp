// Micro-benchmarks of the Qt layer: the skin list model over large folders and
// the whole random pick of the main window. Each timed step ends with the
// pending events handled, so the list's layout and the repaint are counted:
// everything here runs on the one user-interface thread, and a step's time is
// how long the window cannot answer the user.

#include "bench_support.h"

#include "app/MainWindowPresenter.h"
#include "qt/FileList.h"
#include "qt/MainWindow.h"
#include "qt/Ticker.h"
#include "rotation/random_source.h"

#include <QApplication>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

using namespace quillarbor;
namespace qb = quillarbor::bench;
namespace fs = std::filesystem;

std::string emptyFolder() {
    const auto path = qb::scratch().path() / "empty";
    fs::create_directories(path);
    return path.string();
}

// The countdown never runs out while a benchmark measures.
class StillTicker final : public Ticker {
public:
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const override { return enabled_; }

private:
    bool enabled_ = false;
};

// Handles what is pending, until nothing is: the skin list lays a large folder out in batches,
// each posted as the one before ends, and a timed step ends when the last has run.
void settle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10000);
}

// A skin folder's list shown in a window of the size the main window gives it.
class ShownList {
public:
    ShownList() {
        list_.resize(217, 149);
        list_.show();
        settle();
    }
    ShownList* operator->() { return this; }
    void setPath(const std::string& path) { list_.show(folder_.skins(), *folder_.open(path)); }
    void refresh() { list_.show(folder_.skins(), folder_.reread(selected())); }
    void setListIndex(int index) { list_.setListIndex(index); }
    int listCount() const { return list_.listCount(); }

private:
    std::optional<std::size_t> selected() const {
        const int index = list_.listIndex();
        return index < 0 ? std::nullopt : std::optional<std::size_t>(index);
    }

    SkinFolder folder_;
    FileList list_;
};

// The skin folder chosen: the list reads a folder it did not show before.
void BM_FileListOpen(benchmark::State& state) {
    const std::string folder = qb::skinFolder(static_cast<int>(state.range(0)));
    ShownList list;
    for (auto _ : state) {
        state.PauseTiming();
        list->setPath(emptyFolder());
        settle();
        state.ResumeTiming();
        list->setPath(folder);
        settle();
    }
    state.counters["rows"] = list->listCount();
}

// The refresh of every pick when the folder did not change.
void BM_FileListRefresh(benchmark::State& state) {
    ShownList list;
    list->setPath(qb::skinFolder(static_cast<int>(state.range(0))));
    list->setListIndex(list->listCount() / 2);
    settle();
    for (auto _ : state) {
        list->refresh();
        settle();
    }
    state.counters["rows"] = list->listCount();
}

// The refresh after a file of the folder was renamed: the list is rebuilt and
// keeps its selection.
void BM_FileListRefreshChanged(benchmark::State& state) {
    const fs::path folder = qb::skinFolder(static_cast<int>(state.range(0)));
    ShownList list;
    list->setPath(folder.string());
    list->setListIndex(list->listCount() / 2);
    settle();
    bool renamed = false;
    for (auto _ : state) {
        state.PauseTiming();
        renamed = !renamed;
        fs::rename(folder / (renamed ? "seed.bmp" : "zz-renamed.bmp"),
                   folder / (renamed ? "zz-renamed.bmp" : "seed.bmp"));
        state.ResumeTiming();
        list->refresh();
        settle();
    }
    if (renamed) {
        fs::rename(folder / "zz-renamed.bmp", folder / "seed.bmp");
    }
    state.counters["rows"] = list->listCount();
}

// The timed change of the main window, through the presenter: list refreshed, one skin drawn,
// loaded and previewed, the window repainted and the path written to the store.
void BM_MainWindowPick(benchmark::State& state) {
    const std::string folder = qb::skinFolder(static_cast<int>(state.range(0)));
    qb::writeStore(0, folder);
    ClockSeededRandom random(42);
    StillTicker ticker;
    MainWindow form(&ticker);
    RunningProgram program;
    MainWindowPresenter presenter(form, program.dependencies(random));
    presenter.load({});
    settle();
    for (auto _ : state) {
        presenter.pickRandomSkin();
        settle();
    }
    state.SetLabel(presenter.lastShown());
}

void sizes(benchmark::internal::Benchmark* b) {
    b->ArgName("bitmaps")->Arg(1000)->Arg(10000)->Arg(100000);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_FileListOpen)->Apply(sizes);
BENCHMARK(BM_FileListRefresh)->Apply(sizes);
BENCHMARK(BM_FileListRefreshChanged)->Apply(sizes);
BENCHMARK(BM_MainWindowPick)->Apply(sizes);

} // namespace

int main(int argc, char** argv) {
    // Measured on the virtual screen unless a display is asked for: the
    // figures should not depend on a desktop's compositor.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qb::useScratchSettings(qb::scratch().path() / "settings");
    // The window's lists start on the current folder: an empty one.
    if (::chdir(emptyFolder().c_str()) != 0) {
        return 1;
    }
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
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
