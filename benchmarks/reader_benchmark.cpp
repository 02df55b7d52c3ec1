// How long the largest boards take to read, and what the table then holds. Run:
//   build/native-release/zuro_bench   (scripts/bench builds it without sanitizers)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "base/file_system.h"
#include "base/text_file.h"
#include "table/grid_model.h"
#include "readers/pcad_reader.h"

namespace {

// A P-CAD report of `components` components: every fourth one placed 8 times with interleaved
// designators, the others once.
std::string WriteBoard(int components) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("zuro_bench_" + std::to_string(components) + ".bom"))
                               .string();
  zuro::ReplaceFileContents(path, [&](std::FILE* file) {
    std::fputs("\"Count\";\"RefDes\";\"Value\";\"Type\";\"Наименование\";\"ID PartLib\"\r\n", file);
    int designator = 1;
    for (int c = 0; c < components; ++c) {
      const int quantity = c % 4 == 0 ? 8 : 1;
      for (int k = 0; k < quantity; ++k) {
        std::fprintf(file,
                     "\"%s\";\"R%d\";\"%d кОм\";\"RES_0805\";\"Резистор С2-33Н-0,125-%d кОм "
                     "±5%%\";\"PL-%d\"\r\n",
                     k == 0 ? std::to_string(quantity).c_str() : "", designator, c, c, c);
        designator += k % 3 == 2 ? 2 : 1;
      }
    }
    return true;
  });
  return path;
}

void ReadLargeReport(benchmark::State& state) {
  const std::string path = WriteBoard(static_cast<int>(state.range(0)));
  int rows = 0;
  for (auto _ : state) {
    zuro::table::GridModel table;
    zuro::readers::ReportAttributes attributes;
    const std::optional<zuro::TextFile> report = zuro::ReadTextFile(path);
    zuro::readers::ReadReport(report->text, table, attributes);
    rows = table.GetRowCount();
  }
  state.counters["rows"] = rows;
  state.SetItemsProcessed(state.iterations() * state.range(0));
  zuro::RemoveFile(path);
}
BENCHMARK(ReadLargeReport)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void FillTable(benchmark::State& state) {
  for (auto _ : state) {
    zuro::table::GridModel table(1, 1, 1, 1);
    for (int col = 1; col <= 20; ++col)
      table.InsertColumn("Атрибут");
    for (int row = 1; row <= state.range(0); ++row) {
      table.InsertRow(" ");
      for (int col = 1; col <= 20; ++col)
        table.SetItemText(row, col, "Конденсатор 0805-X7R");
    }
    benchmark::DoNotOptimize(table.GetRowCount());
  }
}
BENCHMARK(FillTable)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
