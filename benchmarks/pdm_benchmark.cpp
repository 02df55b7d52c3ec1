// How long the PDM road takes on a large board: the PDM window's Create (the rows sorted through
// the work database, the object lines composed and written beside the report and over res.txt),
// and the object list read back call by call as the PDM reads it. Reading the report is not
// timed.
#include <benchmark/benchmark.h>

#include <string>

#include "automation/library_context.h"
#include "benchmarks/boards.h"
#include "converter/headless_ui.h"
#include "converter/pdm_converter_window.h"
#include "pdm/attribute_templates.h"
#include "pdm/object_list_reader.h"
#include "pdm/pdm_object_list.h"
#include "standin/object_list_printout.h"

namespace zuro::bench {

namespace {

// The window on the report, read, and Create pressed when `timed` is given, timed by it alone.
bool CreateObjectList(const std::string& report, benchmark::State* timed) {
  automation::LibraryContext context;
  context.library_folder = LibraryFolder();
  converter::WindowState window_state;
  converter::HeadlessUi ui;  // the range warnings of a large board are not shown
  pdm::AttributeTemplates templates;
  pdm::PdmObjectList lines(templates);
  converter::PdmConverterWindow window(context, window_state, ui, lines, report);
  window.OnInitDialog();
  if (timed)
    timed->ResumeTiming();
  window.OnOk();
  if (timed)
    timed->PauseTiming();
  return ui.close_result() == converter::kIdCreate;
}

void PdmCreate(benchmark::State& state, int size) {
  const std::string report = BoardPath(PcadBoard(), size);
  for (auto _ : state) {
    state.PauseTiming();
    const bool created = CreateObjectList(report, &state);
    state.ResumeTiming();
    if (!created) {
      state.SkipWithError(("no object list made from " + report).c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * size);
}

void PdmReadBack(benchmark::State& state, int size) {
  const std::string report = BoardPath(PcadBoard(), size);
  if (!CreateObjectList(report, nullptr)) {
    state.SkipWithError(("no object list made from " + report).c_str());
    return;
  }
  size_t objects = 0;
  for (auto _ : state) {
    pdm::ObjectListReader reader;
    const standin::ObjectListCalls calls = {
        [&](char* buffer) { return reader.AnswerObjectType(LibraryFolder(), buffer); },
        [&](char* name, char* value) {
          reader.AnswerObjectAttribute(LibraryFolder(), name, value);
        }};
    objects = 0;
    standin::ReadBackObjectList(calls, [&](const std::string&) { ++objects; });
  }
  state.counters["objects"] = static_cast<double>(objects);
  state.SetItemsProcessed(state.iterations() * size);
}

const bool kPdmRegistered = [] {
  for (const int size : kBoardSizes) {
    benchmark::RegisterBenchmark(("PdmCreate/" + std::to_string(size)).c_str(),
                                 [size](benchmark::State& state) { PdmCreate(state, size); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PdmReadBack/" + std::to_string(size)).c_str(),
                                 [size](benchmark::State& state) { PdmReadBack(state, size); })
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

}  // namespace zuro::bench
