// How long the P-CAD window takes to make each document of a large board: the list of elements
// sorted by GOST, the purchased-items list, and the specification sorted through the work
// database. Reading the report is not timed; writing the objects into the stand-in host is.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "benchmarks/boards.h"
#include "converter/converter_ui.h"

namespace zuro::bench {

namespace {

void CreateDocument(benchmark::State& state, int command, int size) {
  const std::string report = BoardPath(PcadBoard(), size);
  size_t objects = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<BoardWindow>(PcadBoard().command);
    if (window->Open(report) <= 0) {
      state.SkipWithError(("no components read from " + report).c_str());
      break;
    }
    state.ResumeTiming();
    const bool made = window->Create(command);
    state.PauseTiming();
    objects = window->ObjectCount();
    window.reset();
    state.ResumeTiming();
    if (!made) {
      state.SkipWithError("the window made no document");
      break;
    }
  }
  state.counters["objects"] = static_cast<double>(objects);
  state.SetItemsProcessed(state.iterations() * size);
}

const bool kDocumentsRegistered = [] {
  const std::pair<const char*, int> documents[] = {
      {"ListByGost", converter::kIdCreateListByGost},
      {"PurchasedItems", converter::kIdCreatePurchased},
      {"Specification", converter::kIdCreateSpec},
  };
  for (const auto& [name, command] : documents) {
    for (const int size : kBoardSizes) {
      benchmark::RegisterBenchmark(
          (std::string(name) + "/" + std::to_string(size)).c_str(),
          [command, size](benchmark::State& state) { CreateDocument(state, command, size); })
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace

}  // namespace zuro::bench
