// zuro_bench: the boards are made (or brought up to date) before any benchmark runs.
#include <benchmark/benchmark.h>

#include "benchmarks/boards.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 2;
  if (!zuro::bench::MakeBoards())
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
