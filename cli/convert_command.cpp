// zuro-bom convert: a report converted into a document of the stand-in host, through the
// library's entry and the converter window of the report's kind, as a designer would do it.
#include <chrono>
#include <cstdio>
#include <memory>

#include "base/file_system.h"
#include "base/paths.h"
#include "base/text_encoding.h"
#include "cli/cli_support.h"
#include "converter/converter_window.h"
#include "converter/headless_ui.h"
#include "automation/library_context.h"
#include "host/library_entry.h"
#include "standin/sim_document_html.h"
#include "standin/sim_host.h"

namespace zuro::cli {

namespace {

struct ConvertRequest {
  std::string report;
  bool table_file = false;
  int create_command = 0;
  bool vector_device = false;
  std::string output;
  std::vector<std::pair<int, int>> unmarks;  // rows, as (row, 0)
  struct Edit {
    int row;
    int col;
    std::string text;
  };
  std::vector<Edit> edits;
};

// --timings: the seconds of each phase, the host's calls apart.
struct Timings {
  double read = 0;    // the report (or table file) read into the table
  double create = 0;  // the create command, the host's calls included
  double host = 0;    // inside the host's calls during the create command
  int64_t host_calls = 0;
  double save = 0;  // the document (and its sheets) written by zuro-bom
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class StandInConnector : public host::HostConnector {
 public:
  explicit StandInConnector(automation::DispatchRef application)
      : application_(std::move(application)) {}
  automation::DispatchRef Connect() override { return application_; }

 private:
  automation::DispatchRef application_;
};

// The designer's part, played headlessly: the report chosen in the open dialog, the marks and
// edits made, the create command picked, its questions answered yes and the document saved under
// the output's name.
class ConvertingWindows : public host::ConverterWindows {
 public:
  ConvertingWindows(const ConvertRequest& request, standin::SimHost& host, Timings& timings)
      : request_(request), host_(host), timings_(timings) {}

  void Run(host::ConverterWindowKind,
           automation::LibraryContext& context,
           converter::WindowState& state) override;
  bool completed() const { return completed_; }

 private:
  bool Prepare(converter::ConverterWindow& window);

  const ConvertRequest& request_;
  standin::SimHost& host_;
  Timings& timings_;
  bool completed_ = false;
};

void ConvertingWindows::Run(host::ConverterWindowKind,
                            automation::LibraryContext& context,
                            converter::WindowState& state) {
  converter::HeadlessUi ui(converter::StandardErrorSink());
  const bool opens_at_once = context.active_document == automation::ActiveDocument::kModel;
  if (opens_at_once && request_.table_file)
    ui.QueueFile(std::nullopt);  // the report dialog shown at once is cancelled
  ui.QueueFile(request_.report);
  ui.QueueFile(request_.output);  // the save dialog of a document made from its pattern
  for (int answer = 0; answer < 4; ++answer)
    ui.QueueAnswer(converter::MessageAnswer::kYes);
  const std::unique_ptr<converter::ConverterWindow> window =
      converter::MakeConverterWindow(context, state, ui);
  const auto reading = std::chrono::steady_clock::now();
  window->OnInitDialog();
  if (!opens_at_once || request_.table_file)
    window->OnCommand(request_.table_file ? converter::kIdOpenTable : converter::kIdOpenReport);
  timings_.read = SecondsSince(reading);
  TellReadingNote(*window);
  if (!Prepare(*window))
    return;
  // The output device is a choice of the window's radio buttons: the window takes it in when a
  // document-kind radio is clicked, as its dialog data exchange does. The specification's own
  // radio is the one to click for it: the list's would show the sort order it does not have.
  const bool specification = request_.create_command == converter::kIdCreateSpec;
  ui.CheckRadio(converter::kOutputDeviceRadios, request_.vector_device ? 1 : 0);
  ui.CheckRadio(converter::kDocumentKindRadios, specification ? 0 : 1);
  window->OnCommand(specification ? converter::kIdSpecRadio : converter::kIdListRadio);
  const size_t messages = ui.messages().size();
  const double host_before = host_.call_seconds();
  const int64_t calls_before = host_.calls();
  const auto creating = std::chrono::steady_clock::now();
  window->OnCommand(request_.create_command);
  timings_.create = SecondsSince(creating);
  timings_.host = host_.call_seconds() - host_before;
  timings_.host_calls = host_.calls() - calls_before;
  for (size_t m = messages; m < ui.messages().size(); ++m) {
    if (ui.messages()[m].caption.empty() && ui.messages()[m].text.starts_with("Формирование"))
      completed_ = true;
  }
}

// Rows and columns count as in the component table; one outside it stops the road.
bool ConvertingWindows::Prepare(converter::ConverterWindow& window) {
  table::GridModel& table = window.table();
  if (table.GetRowCount() < 2) {
    Complain(request_.report + " gave no components");
    return false;
  }
  for (const auto& [row, col] : request_.unmarks) {
    if (!table.SetItemImage(row, col, 0) || row < 1) {
      Complain("there is no row " + std::to_string(row));
      return false;
    }
  }
  for (const ConvertRequest::Edit& edit : request_.edits) {
    if (edit.row < 1 || edit.col < 1 || !table.SetItemText(edit.row, edit.col, edit.text)) {
      Complain("there is no cell " + std::to_string(edit.row) + "," + std::to_string(edit.col));
      return false;
    }
  }
  return true;
}

int CreateCommandOf(const std::string& document, const std::string& sort) {
  if (document == "spec")
    return converter::kIdCreateSpec;
  if (document == "list")
    return sort == "gost" ? converter::kIdCreateListByGost : converter::kIdCreateListByElements;
  if (document == "purchased")
    return converter::kIdCreatePurchased;
  return 0;
}

// "ROW,COL=TEXT"; false when it is not of that form.
bool ParseEdit(const std::string& text, ConvertRequest::Edit& edit) {
  const size_t comma = text.find(',');
  const size_t equals = text.find('=');
  if (comma == std::string::npos || equals == std::string::npos || equals < comma)
    return false;
  try {
    edit.row = std::stoi(text.substr(0, comma));
    edit.col = std::stoi(text.substr(comma + 1, equals - comma - 1));
  } catch (...) {
    return false;
  }
  edit.text = Utf8ToCp1251(text.substr(equals + 1));
  return true;
}

// One line a phase on standard error; the run is the create command less the host's calls.
void PrintTimings(const Timings& timings) {
  std::fprintf(stderr, "timing: read %.6f\n", timings.read);
  std::fprintf(stderr, "timing: run %.6f\n", timings.create - timings.host);
  std::fprintf(stderr, "timing: host %.6f %lld\n", timings.host,
               static_cast<long long>(timings.host_calls));
  std::fprintf(stderr, "timing: save %.6f\n", timings.save);
}

}  // namespace

// The title of a document made from a report: the report's file name.
std::string DocumentTitle(const std::string& report) {
  return Cp1251FromUtf8Path(report.substr(FileNameStart(report)));
}

int Convert(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<ParsedOptions> options = ParseOptions(
      args,
      {{"--converter", "--document", "--sort", "--device", "--library", "--model", "-o", "--html"},
       {"--unmark", "--set"},
       {"--graphic", "--timings"}},
      problem);
  if (!options)
    return BadUsage(problem);
  const std::string converter = ConverterOf(*options);
  const int command = CommandOf(converter);
  if (command == 0)
    return BadUsage(converter.empty()
                        ? "the converter of " + options->report + " is not known; give --converter"
                        : "unknown converter " + converter);
  const std::string sort = options->Value("--sort", "elements");
  const std::string device = options->Value("--device", "graphic");
  ConvertRequest request;
  request.report = options->report;
  request.table_file = EndsWithIgnoringCase(options->report, ".tbl");
  request.create_command = CreateCommandOf(options->Value("--document"), sort);
  request.output = options->Value("-o");
  request.vector_device = device == "vector";
  if (request.create_command == 0)
    return BadUsage("--document must be spec, list or purchased");
  if ((sort != "elements" && sort != "gost") || (device != "graphic" && device != "vector"))
    return BadUsage("--sort takes elements or gost, --device graphic or vector");
  if (request.output.empty())
    return BadUsage("-o OUT.json is missing");
  if (options->Has("--graphic") && options->Has("--model"))
    return BadUsage("--graphic and --model exclude each other");
  const bool model = options->Has("--model");
  if (model && request.create_command != converter::kIdCreateSpec)
    return BadUsage(
        "with a model document open (--model) only the specification can be made: "
        "give --document spec");
  for (const std::string& row : options->repeated.count("--unmark")
                                    ? options->repeated.at("--unmark")
                                    : std::vector<std::string>{}) {
    request.unmarks.emplace_back(std::atoi(row.c_str()), 0);
  }
  if (options->repeated.count("--set")) {
    for (const std::string& text : options->repeated.at("--set")) {
      ConvertRequest::Edit edit;
      if (!ParseEdit(text, edit))
        return BadUsage("--set takes ROW,COL=TEXT");
      request.edits.push_back(edit);
    }
  }

  standin::SimHost host;
  host.set_keeps_call_log(false);  // nothing here reads it
  if (options->Has("--graphic"))
    host.OpenGraphicDocument();
  if (model) {
    const std::string items = options->Value("--model");
    if (!FileExists(items)) {
      Complain("cannot read the model items file " + items);
      return kExitStopped;
    }
    host.OpenModelDocument(standin::ReadItemLines(items));
  }
  host.set_times_calls(options->Has("--timings"));
  StandInConnector connector(host.Application());
  Timings timings;
  ConvertingWindows windows(request, host, timings);
  automation::LibraryContext context;
  converter::WindowState state;
  context.library_folder = LibraryFolder(*options);
  host::LibraryEntry(context, state, connector, windows, static_cast<uint32_t>(command));
  context.ReleaseHostObjects();
  if (!windows.completed())
    return kExitStopped;
  // A document made from its pattern was saved by the host under the output's name; the open
  // graphic or model document, which received the objects, is written there as the host would
  // save it.
  const auto saving = std::chrono::steady_clock::now();
  const bool open_document = options->Has("--graphic") || model;
  const standin::SimDocument* document = options->Has("--graphic") ? host.ActiveGraphicDocument()
                                         : model                   ? host.ActiveModelDocument()
                                                                   : host.TargetDocument();
  // The host takes the name in code page 1251: a folder named outside it is none the host finds.
  if (!open_document && (!document || document->saved_path.empty())) {
    Complain("the host did not save the document to " + request.output);
    return kExitStopped;
  }
  if (open_document && (!document || !standin::SaveDocument(*document, request.output))) {
    Complain("cannot write " + request.output);
    return kExitStopped;
  }
  const std::string html = options->Value("--html");
  if (!html.empty() &&
      (!document || !standin::SaveDocumentHtml(*document, DocumentTitle(request.report), html))) {
    Complain("cannot write " + html);
    return kExitStopped;
  }
  timings.save = SecondsSince(saving);
  if (options->Has("--timings"))
    PrintTimings(timings);
  return kExitDone;
}

}  // namespace zuro::cli
