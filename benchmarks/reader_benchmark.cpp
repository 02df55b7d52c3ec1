// How long the largest boards take to read in each kind, and to fill a table of their size. Run:
//   build/native-release/zuro_bench   (scripts/bench --micro builds it without sanitizers)
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "benchmarks/boards.h"
#include "table/grid_model.h"

namespace zuro::bench {

namespace {

// "Открыть..." of the kind's window on the board: the file read and decoded, converted where the
// kind is converted (and the CSV kept beside it), and the table filled. Making and closing the
// window is not timed.
void ReadBoard(benchmark::State& state, const BoardKind& kind, int size) {
  const std::string report = BoardPath(kind, size);
  int components = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<BoardWindow>(kind.command);
    state.ResumeTiming();
    components = window->Open(report);
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
  if (components <= 0)
    state.SkipWithError(("no components read from " + report).c_str());
  state.counters["components"] = components;
  state.SetItemsProcessed(state.iterations() * size);
}

// The grid model as a reader fills it: a row inserted, then its cells set one by one, in the 18
// attribute columns of a P-CAD report.
void FillTable(benchmark::State& state) {
  constexpr int kColumns = 18;
  for (auto _ : state) {
    table::GridModel table(1, 1, 1, 1);
    for (int col = 1; col <= kColumns; ++col)
      table.InsertColumn("Атрибут");
    for (int row = 1; row <= state.range(0); ++row) {
      table.InsertRow(" ");
      for (int col = 1; col <= kColumns; ++col)
        table.SetItemText(row, col, "Конденсатор 0805-X7R-50 В-0,1 мкФ ±10%");
    }
    benchmark::DoNotOptimize(table.GetRowCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FillTable)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

const bool kReadersRegistered = [] {
  for (const BoardKind& kind : BoardKinds()) {
    for (const int size : kBoardSizes) {
      std::string name = "ReadBoard/";
      name.append(kind.name).append("/").append(std::to_string(size));
      benchmark::RegisterBenchmark(
          name.c_str(), [&kind, size](benchmark::State& state) { ReadBoard(state, kind, size); })
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace

}  // namespace zuro::bench
