// zuro-bom pdm: the PDM's road from the command line. LoadBom opens the PDM window on the report,
// the designer's part is played headlessly (rows unmarked as asked, the document choice clicked,
// "Создать" pressed), and the object list is then read back through the code the reading exports
// run, on buffers of the PDM's size, and printed one object a line, after the two object type
// names LoadBom handed back (TYPE1=..., TYPE2=...).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "converter/headless_ui.h"
#include "host/pdm_entry.h"
#include "pdm/attribute_templates.h"
#include "pdm/object_list_reader.h"
#include "converter/pdm_converter_window.h"
#include "pdm/pdm_object_list.h"
#include "standin/object_list_printout.h"
#include "table/component_rows.h"

namespace zuro::cli {

namespace {

struct PdmRequest {
  int document_radio = 0;  // index in the document-kind radio group
  std::vector<int> unmarks;
};

class AnsweringPdmWindows : public host::PdmWindows {
 public:
  explicit AnsweringPdmWindows(const PdmRequest& request) : request_(request) {}

  void Run(automation::LibraryContext& context,
           converter::WindowState& state,
           const std::string& report_path) override;
  bool created() const { return created_; }

 private:
  bool Unmark(table::GridModel& table, const std::string& report_path) const;

  const PdmRequest& request_;
  pdm::AttributeTemplates attribute_templates_;
  bool created_ = false;
};

// The window reads the report as it starts; the choice is clicked as a designer clicks it, so the
// window sees it through its own radio handling. Create closes the window with its OK; a message
// that kept it open (templates that cannot be read, a work database that cannot be written) was
// printed by the window.
void AnsweringPdmWindows::Run(automation::LibraryContext& context,
                              converter::WindowState& state,
                              const std::string& report_path) {
  converter::HeadlessUi ui(converter::StandardErrorSink());
  pdm::PdmObjectList lines(attribute_templates_);
  converter::PdmConverterWindow window(context, state, ui, lines, report_path);
  window.OnInitDialog();
  TellReadingNote(window);
  if (!Unmark(window.table(), report_path)) {
    window.OnCancel();
    return;
  }
  ui.CheckRadio(converter::kDocumentKindRadios, request_.document_radio);
  window.OnCommand(converter::kDocumentKindRadios[request_.document_radio]);
  window.OnOk();
  created_ = ui.close_result() == converter::kIdCreate;
  if (!created_)
    window.OnCancel();
}

// Rows count as in the component table; one outside it stops the road before anything is made.
bool AnsweringPdmWindows::Unmark(table::GridModel& table, const std::string& report_path) const {
  if (table.GetRowCount() < 2) {
    Complain(report_path + " gave no components");
    return false;
  }
  for (const int row : request_.unmarks) {
    if (row < 1 || !table.SetItemImage(row, 0, table::kUnmarked)) {
      Complain("there is no row " + std::to_string(row));
      return false;
    }
  }
  return true;
}

int DocumentRadioOf(const std::string& document) {
  if (document == "spec")
    return 0;
  if (document == "list")
    return 1;
  if (document == "purchased")
    return 2;
  return -1;
}

// The reading exports' own answers, on buffers as the PDM hands them over.
standin::ObjectListCalls ExportCalls(pdm::ObjectListReader& reader,
                                     const std::string& library_folder) {
  return {[&reader, &library_folder](char* buffer) {
            return reader.AnswerObjectType(library_folder, buffer);
          },
          [&reader, &library_folder](char* name, char* value) {
            reader.AnswerObjectAttribute(library_folder, name, value);
          }};
}

}  // namespace

int Pdm(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<ParsedOptions> options =
      ParseOptions(args, {{"--library", "--document"}, {"--unmark"}, {}}, problem);
  if (!options)
    return BadUsage(problem);
  PdmRequest request;
  request.document_radio = DocumentRadioOf(options->Value("--document", "spec"));
  if (request.document_radio < 0)
    return BadUsage("--document must be spec, list or purchased");
  if (options->repeated.contains("--unmark")) {
    for (const std::string& row : options->repeated.at("--unmark"))
      request.unmarks.push_back(std::atoi(row.c_str()));
  }

  automation::LibraryContext context;
  converter::WindowState state;
  context.library_folder = LibraryFolder(*options);
  AnsweringPdmWindows windows(request);
  // The PDM receives the two type names whatever the window did; they come first, as the PDM
  // reads them before any object.
  const host::PdmObjectTypes types = host::LoadBom(context, state, windows, options->report);
  Print(stdout, "TYPE1=" + types.type1 + "\nTYPE2=" + types.type2 + "\n");
  if (!windows.created())
    return kExitStopped;
  pdm::ObjectListReader reader;
  standin::PrintObjectList(ExportCalls(reader, context.library_folder), stdout);
  return kExitDone;
}

}  // namespace zuro::cli
