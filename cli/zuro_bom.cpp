// zuro-bom: the converter windows' roads run end to end from the command line. Each subcommand
// drives the same window classes that the DLL shows, through the headless screen; the user's
// answers are given as options. Exit status: 0 the road ran, 1 a message stopped it, 2 bad usage.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "converter/converter_window.h"
#include "converter/converter_ui.h"
#include "converter/headless_ui.h"
#include "table/table_file.h"
#include "host/library_context.h"

namespace zuro::cli {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitStopped = 1;
constexpr int kExitUsage = 2;

constexpr const char kUsage[] =
    R"(zuro-bom table REPORT [--converter K] [--library DIR] [-o FILE.tbl]
    Read REPORT as the converter K's open command does and write the component table in the
    table-file format (to FILE.tbl in code page 1251; to standard output in UTF-8).
zuro-bom convert REPORT [--converter K] --document spec|list|purchased [--sort elements|gost]
    [--device graphic|vector] [--library DIR] [--graphic | --model ITEMS.txt]
    [--unmark ROW]... [--set ROW,COL=TEXT]... -o OUT.json [--html OUT.html]
    Open REPORT (or a .tbl table file), apply the marks and cell edits, run the create command of
    the document kind (32777, 32778, 32780 or 32779) and save the host document to OUT.json.
    With no --graphic/--model the host has no document open, so a new document is made from the
    pattern file and the save dialog is answered with OUT.json. --graphic: the host has an active
    graphic document. --model: the host has an active model document; its item collection holds
    the model itself at index 0 and one item per line of ITEMS.txt at 1, 2, … (each item's text is
    its line).
zuro-bom pdm REPORT [--library DIR] [--document spec|list|purchased] [--unmark ROW]...
    Run LoadBom on REPORT with the PDM window answered headlessly (rows marked, "Создать"), then
    read the object list back through the GetObjectType1 / GetObjectAttribute code and print it.
K is pcad, mentor, orcad, protel, altium or allegro (default from the extension: .bom pcad,
.lst mentor, .csv protel, .txt altium, .htm allegro). A REPORT ending in .tbl is opened as a table
file (the "Открыть таблицу" command) in the window of K (default pcad). DIR defaults to the library folder shipped
with the build. ROW and COL count as in the component table (row 1 is the first component).
)";

// Texts in this program are code page 1251 like the library's; the terminal gets UTF-8.
void Print(std::FILE* stream, std::string_view cp1251_text) {
  const std::string text = Cp1251ToUtf8(cp1251_text);
  std::fwrite(text.data(), 1, text.size(), stream);
}

int BadUsage(const std::string& problem) {
  Print(stderr, "zuro-bom: " + problem + "\n\n" + kUsage);
  return kExitUsage;
}

int NotYet(const std::string& what) {
  Print(stderr, "zuro-bom: " + what + " is not available yet\n");
  return kExitUsage;
}

std::string Lowercase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool EndsWith(const std::string& text, std::string_view end) {
  return Lowercase(text).ends_with(end);
}

// The converter a report's extension stands for; empty when it stands for none.
std::string ConverterOfExtension(const std::string& report) {
  constexpr std::pair<std::string_view, std::string_view> kExtensions[] = {{".bom", "pcad"},
                                                                           {".lst", "mentor"},
                                                                           {".csv", "protel"},
                                                                           {".txt", "altium"},
                                                                           {".htm", "allegro"}};
  for (const auto& [extension, converter] : kExtensions) {
    if (EndsWith(report, extension))
      return std::string(converter);
  }
  return {};
}

struct TableOptions {
  std::string report;  // as given, code page 1251
  std::string converter;
  std::string library = ZURO_DEFAULT_LIBRARY_DIR;
  std::string output;
};

// Options may come in any order after the subcommand; each takes the next argument as its value.
std::optional<TableOptions> ParseTableOptions(const std::vector<std::string>& args,
                                              std::string& problem) {
  TableOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string* value = nullptr;
    if (arg == "--converter")
      value = &options.converter;
    else if (arg == "--library")
      value = &options.library;
    else if (arg == "-o")
      value = &options.output;
    if (value) {
      if (i + 1 == args.size()) {
        problem = arg + " needs a value";
        return std::nullopt;
      }
      *value = args[++i];
    } else if (arg.starts_with("-")) {
      problem = "unknown option " + arg;
      return std::nullopt;
    } else if (options.report.empty()) {
      options.report = arg;
    } else {
      problem = "more than one REPORT";
      return std::nullopt;
    }
  }
  if (options.report.empty())
    problem = "REPORT is missing";
  return problem.empty() ? std::optional(options) : std::nullopt;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
    folder += '/';
  return folder;
}

// The window is opened as the host opens it for the converter's command, and its open command
// ("Открыть..." or, for a table file, "Открыть таблицу") is answered with the report. A message
// that leaves no table stops the road; one that comes with a table (characters UTF-8 had that
// code page 1251 lacks, a converted report that could not be kept) is printed and the road goes
// on.
int RunTable(const TableOptions& options, int command, bool table_file) {
  host::LibraryContext context;
  context.command_number = command;
  context.library_folder = WithSeparator(options.library);
  converter::HeadlessUi ui(converter::StandardErrorSink());
  ui.QueueFile(options.report);
  const std::unique_ptr<converter::ConverterWindow> window =
      converter::MakeConverterWindow(context, ui);
  window->OnInitDialog();
  window->OnCommand(table_file ? converter::kIdOpenTable : converter::kIdOpenReport);
  if (window->table().GetRowCount() == 0) {
    if (ui.messages().empty())
      Print(stderr, "zuro-bom: " + options.report + " was not read\n");
    return kExitStopped;
  }
  if (options.output.empty()) {
    for (const std::string& line : table::TableFileText(window->table()))
      Print(stdout, line + "\n");
    return kExitDone;
  }
  if (!table::WriteTableFile(options.output, window->table())) {
    Print(stderr, "zuro-bom: cannot write " + options.output + "\n");
    return kExitStopped;
  }
  return kExitDone;
}

// The command of each converter, as the library menu numbers them.
int CommandOf(const std::string& converter) {
  constexpr std::pair<std::string_view, int> kCommands[] = {
      {"pcad", 1}, {"orcad", 2}, {"protel", 3}, {"altium", 4}, {"mentor", 5}, {"allegro", 6}};
  for (const auto& [name, command] : kCommands) {
    if (converter == name)
      return command;
  }
  return 0;
}

int Table(const std::vector<std::string>& args) {
  std::string problem;
  std::optional<TableOptions> options = ParseTableOptions(args, problem);
  if (!options)
    return BadUsage(problem);
  const bool table_file = EndsWith(options->report, ".tbl");
  if (options->converter.empty())
    options->converter = table_file ? "pcad" : ConverterOfExtension(options->report);
  if (options->converter.empty())
    return BadUsage("the converter of " + options->report + " is not known; give --converter");
  const int command = CommandOf(options->converter);
  if (command == 0)
    return BadUsage("unknown converter " + options->converter);
  return RunTable(*options, command, table_file);
}

int Main(const std::vector<std::string>& args) {
  if (args.empty())
    return BadUsage("a subcommand is missing");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "-h" || command == "--help") {
    Print(stdout, kUsage);
    return kExitDone;
  }
  if (command == "table")
    return Table(rest);
  if (command == "convert" || command == "pdm")
    return NotYet("zuro-bom " + command);
  return BadUsage("unknown subcommand " + command);
}

}  // namespace

}  // namespace zuro::cli

// Arguments arrive in UTF-8 and are held in code page 1251 like every text of the library.
int main(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(zuro::Utf8ToCp1251(argv[i]));
  return zuro::cli::Main(args);
}
