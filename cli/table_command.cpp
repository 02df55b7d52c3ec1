// zuro-bom table: a report read as its converter's "Открыть..." reads it, the table printed or
// written as a table file.
#include <memory>

#include "cli/cli_support.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "automation/library_context.h"
#include "table/table_file.h"

namespace zuro::cli {

// The window is opened as the host opens it for the converter's command, and its open command
// ("Открыть..." or, for a table file, "Открыть таблицу") is answered with the report. A message
// that leaves no table stops the road; one that comes with a table (characters UTF-8 had that
// code page 1251 lacks, a converted report that could not be kept) is printed and the road goes
// on.
int Table(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<ParsedOptions> options =
      ParseOptions(args, {{"--converter", "--library", "-o"}, {}, {}}, problem);
  if (!options)
    return BadUsage(problem);
  const std::string converter = ConverterOf(*options);
  if (converter.empty())
    return BadUsage("the converter of " + options->report + " is not known; give --converter");
  const int command = CommandOf(converter);
  if (command == 0)
    return BadUsage("unknown converter " + converter);

  automation::LibraryContext context;
  converter::WindowState state;
  context.command = static_cast<LibraryCommand>(command);
  context.library_folder = LibraryFolder(*options);
  converter::HeadlessUi ui(converter::StandardErrorSink());
  ui.QueueFile(options->report);
  const std::unique_ptr<converter::ConverterWindow> window =
      converter::MakeConverterWindow(context, state, ui);
  window->OnInitDialog();
  const bool table_file = EndsWithIgnoringCase(options->report, ".tbl");
  window->OnCommand(table_file ? converter::kIdOpenTable : converter::kIdOpenReport);
  if (window->table().GetRowCount() == 0) {
    if (ui.messages().empty())
      Complain(options->report + " was not read");
    return kExitStopped;
  }
  TellReadingNote(*window);
  const std::string output = options->Value("-o");
  if (output.empty()) {
    for (const std::string& line : table::TableFileText(window->table()))
      Print(stdout, line + "\n");
    return kExitDone;
  }
  if (!table::WriteTableFile(output, window->table())) {
    Complain("cannot write " + output);
    return kExitStopped;
  }
  return kExitDone;
}

}  // namespace zuro::cli
