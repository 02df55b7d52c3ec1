// How long the GOST split of a whole list of elements takes: every row of a generated board split
// in turn, as the generation run does, by the indexed split and by the split as first written
// (tests/gost_split_reference.*), which scans the table for every gap. Run:
//   build/native-release/zuro_bench --benchmark_filter=GostSplit
// (scripts/bench builds it without sanitizers; --benchmark_filter=-Quadratic leaves out the split
// as first written, whose board of 100 000 designators takes minutes).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "generation/designators.h"
#include "generation/gost_split.h"
#include "base/leading_numbers.h"
#include "table/component_rows.h"
#include "table/grid_model.h"
#include "tests/gost_split_reference.h"

namespace {

using zuro::generation::GostSplitResult;

constexpr int kRefDes = 1;
constexpr int kCount = 2;
constexpr int kPrefixes = 40;
constexpr int kLongestList = 16;
constexpr uint32_t kNumbers = 1000000;

// A board of `designators` designators under 40 prefixes, numbered at random below 1 000 000: each
// component row takes 1 to 16 designators of one prefix, listed in ascending order as a report
// lists them, so that the lists of a prefix interleave.
void FillBoard(zuro::table::GridModel& table, int designators) {
  std::mt19937 random(20240);
  zuro::table::ResetComponentTable(table);
  for (const char* title : {"RefDes", "Count", "Name"})
    table.InsertColumn(title);
  std::vector<std::vector<uint32_t>> pools(kPrefixes);
  for (int d = 0; d < designators; ++d)
    pools[random() % kPrefixes].push_back(1 + random() % (kNumbers - 1));
  for (int p = 0; p < kPrefixes; ++p) {
    std::vector<uint32_t>& pool = pools[p];
    std::shuffle(pool.begin(), pool.end(), random);
    const std::string prefix = std::string(1, static_cast<char>('A' + p % 26)) +
                               (p >= 26 ? std::string(1, static_cast<char>('A' + p % 7)) : "");
    for (size_t taken = 0; taken < pool.size();) {
      const size_t length = std::min<size_t>(1 + random() % kLongestList, pool.size() - taken);
      std::sort(pool.begin() + taken, pool.begin() + taken + length);
      std::string list;
      for (size_t i = taken; i < taken + length; ++i)
        list += (i > taken ? "," : "") + prefix + std::to_string(pool[i]);
      taken += length;
      const int row = zuro::table::AppendComponentRow(table);
      table.SetItemText(row, kRefDes, list);
      table.SetItemText(row, kCount, std::to_string(length));
      table.SetItemText(row, 3, "Component " + std::to_string(row));
    }
  }
}

// The list-of-elements run's loop: every row of a quantity above one, the rows the cuts append
// included, with its texts composed as the run composes them.
template <typename Split>
void SplitList(zuro::table::GridModel& table, Split split) {
  for (int w = 1; w < table.GetRowCount(); ++w) {
    std::string count = table.GetItemText(w, kCount) + " ";
    if (zuro::LeadingInteger(count) <= 1)
      continue;
    split(w, std::move(count),
          zuro::generation::JoinPairRanges(table.GetItemText(w, kRefDes) + " "));
  }
}

template <typename MakeSplit>
void RunSplit(benchmark::State& state, MakeSplit make_split) {
  int rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    zuro::table::GridModel table;
    FillBoard(table, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    SplitList(table, make_split(table));
    rows = table.GetRowCount() - 1;
  }
  state.counters["rows after"] = rows;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void GostSplitIndexed(benchmark::State& state) {
  RunSplit(state, [](zuro::table::GridModel& table) {
    return [splitter = std::make_shared<zuro::generation::GostSplitter>(table)](
               int w, std::string count, std::string designators) {
      return splitter->Split(w, kRefDes, kCount, std::move(count), std::move(designators));
    };
  });
}
BENCHMARK(GostSplitIndexed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void GostSplitQuadratic(benchmark::State& state) {
  RunSplit(state, [](zuro::table::GridModel& table) {
    return [&table](int w, std::string count, std::string designators) {
      return zuro::testing_support::quadratic::GostSplit(table, w, kRefDes, kCount,
                                                         std::move(count), std::move(designators));
    };
  });
}
BENCHMARK(GostSplitQuadratic)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
// Minutes for one run: measured once.
BENCHMARK(GostSplitQuadratic)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
