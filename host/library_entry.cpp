#include "host/library_entry.h"

namespace zuro::host {

namespace {

using automation::ActiveDocument;
using automation::kCommandRecord;
using automation::OutputMode;
using automation::ParamRecord;
using automation::ZentarObject;

// The library connects once per library life; a failed attempt is retried on the next command.
void ConnectToHost(LibraryContext& context, HostConnector& connector) {
  if (context.application)
    return;
  context.application = ZentarObject(connector.Connect());
}

// Reads which document is active: graphic, else model, else specification document. A document
// that is not re-read keeps its previous object; the windows look at the model document only
// through the flag and at the specification document only when no graphic document is active.
void ReadActiveDocuments(LibraryContext& context) {
  context.active_document = ActiveDocument::kGraphicOrSpecification;
  context.graphic_document = context.application.ActiveGraphicDocument();
  if (!context.graphic_document.empty())
    return;
  context.model_document = context.application.ActiveModelDocument();
  if (!context.model_document.empty()) {
    context.model_document.Enter();
    context.active_document = ActiveDocument::kModel;
    return;
  }
  context.spec_document = context.application.ActiveSpecDocument();
}

// The host expects a command record of type 6 with its sub-record to be made and set up before a
// command runs; neither record is used afterwards. False when the host gives no record.
bool PrepareCommandRecord(ZentarObject& application) {
  ParamRecord record = application.NewParamRecord(kCommandRecord);
  if (record.empty())
    return false;
  record.Initialise(3);
  record.SetMode(1);
  ParamRecord sub_record = record.SubRecord();
  if (sub_record.empty())
    return false;
  sub_record.Initialise(6);
  sub_record.SetScale(1.0);
  sub_record.SetFlags(0);
  return true;
}

// The P-CAD / Mentor window takes the host's input away while it runs and gives it back whatever
// the window's result.
void OpenConverterWindow(LibraryContext& context,
                         WindowState& state,
                         ConverterWindows& windows,
                         ConverterWindowKind kind) {
  const bool holds_host_input = kind == ConverterWindowKind::PcadMentor;
  if (holds_host_input)
    context.application.SetHostInput(0);
  try {
    windows.Run(kind, context, state);
  } catch (...) {
    if (holds_host_input)
      context.application.SetHostInput(1);
    throw;
  }
  if (holds_host_input)
    context.application.SetHostInput(1);
}

void RunCommand(LibraryContext& context,
                WindowState& state,
                HostConnector& connector,
                ConverterWindows& windows,
                uint32_t command) {
  context.output_mode = OutputMode::kHostObjects;
  context.command = static_cast<LibraryCommand>(command);
  state.report_path.clear();
  ConnectToHost(context, connector);
  if (context.application.empty())
    return;
  ReadActiveDocuments(context);
  if (!PrepareCommandRecord(context.application))
    return;
  context.spec_columns.bco = 0;
  if (context.application.GetHostState() != 0)
    return;
  ConverterWindowKind kind;
  if (ConverterWindowFor(context.command, kind))
    OpenConverterWindow(context, state, windows, kind);
}

}  // namespace

void LibraryEntry(LibraryContext& context,
                  WindowState& state,
                  HostConnector& connector,
                  ConverterWindows& windows,
                  uint32_t command) noexcept {
  // A host call that fails outside a window ends the command silently: nothing may reach the host.
  try {
    RunCommand(context, state, connector, windows, command);
  } catch (...) {
  }
}

}  // namespace zuro::host
