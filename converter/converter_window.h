// What every converter window shares: its component table, the three choices, the marks, the
// quantity columns, opening a report, table files, the replace-text steps and the create
// commands. The P-CAD / Mentor, OrCAD and Protel / Altium Designer / Cadence Allegro windows
// derive from it and differ only in their titles, file dialogs, readers and a few rules. The
// screen is reached only through ConverterUi, so the same classes run behind the Win32 dialogs,
// in the tests and in zuro-bom.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_file.h"
#include "generation/document_kinds.h"
#include "generation/generation_run.h"
#include "converter/converter_ui.h"
#include "converter/window_state.h"
#include "automation/library_context.h"
#include "readers/read_result.h"
#include "table/grid_model.h"

namespace zuro::converter {

using generation::DocumentKind;
using generation::OutputDevice;
using generation::SortMode;

// The rules in which the OrCAD and the Protel / Altium Designer / Cadence Allegro windows differ
// from the P-CAD window.
struct WindowRules {
  // A click toggles a mark only when the table has component rows.
  bool marks_need_components = false;
  // Command 32771 opens a report as "Открыть..." does.
  bool open_report_command_also = false;
  // The quantity columns are left out while the PDM road writes text lines.
  bool quantity_columns_follow_text_output = true;
  // How "Создать" counts, merges and writes.
  generation::GenerationRules generation = generation::kPcadRules;
  // A file dialog cancelled at "Открыть..." changes nothing. In the converter windows it forgets
  // the report's name (the table stays); the PDM window must keep it, as Create writes the object
  // list beside the report and "Сохранить таблицу" proposes its name.
  bool cancelled_open_keeps_report = false;
};
inline constexpr WindowRules kPcadWindowRules{};
inline constexpr WindowRules kOrcadWindowRules{true, true, false, generation::kOrcadRules};
inline constexpr WindowRules kProtelWindowRules{true, true, false, generation::kProtelRules};
inline constexpr WindowRules kPdmWindowRules{false, false, true, generation::kPcadRules, true};

// Opens a report as "Открыть..." does, in the OrCAD and Protel windows.
inline constexpr int kIdOpenReportAlso = 32771;

class ConverterWindow {
 public:
  ConverterWindow(automation::LibraryContext& context,
                  WindowState& state,
                  ConverterUi& ui,
                  WindowRules rules);
  virtual ~ConverterWindow() = default;
  ConverterWindow(const ConverterWindow&) = delete;
  ConverterWindow& operator=(const ConverterWindow&) = delete;

  // Window events. None of them throws.
  void OnInitDialog();
  // A command or control notification; false for an id the window does not handle.
  bool OnCommand(int id);
  void OnOk();
  virtual void OnCancel();
  // One search-and-replace step asked for by the replace-text dialog (WM_COPYDATA).
  void OnReplaceStep();

  // The dialog template of the window in the library's resources.
  virtual int DialogTemplate() const = 0;

  table::GridModel& table() { return table_; }
  const table::GridModel& table() const { return table_; }
  DocumentKind document_kind() const { return document_kind_; }
  OutputDevice output_device() const { return output_device_; }
  SortMode sort_mode() const { return sort_mode_; }
  bool purchase_columns() const { return purchase_columns_; }
  // What the settings did to the report last read ("не отмечено строк: 2 (DNP)"), shown in the
  // caption; empty when they did nothing.
  const std::string& reading_note() const { return reading_note_; }

 protected:
  // The bare window title, shown at start and after a failed read.
  virtual std::string WindowTitle() const = 0;
  // The open-file dialog of the window's reports.
  virtual FileDialogRequest ReportDialog() const = 0;
  // Turns the chosen report's text into the table, converting it first where the kind asks for
  // it; sets ReportPath to the name the window then shows. Folder and name are UTF-8.
  virtual readers::ReadResult ReadReportText(const std::string& folder,
                                             const std::string& name,
                                             std::string& text) = 0;
  // The title with a loaded report's name, and after a rejected one.
  virtual std::string LoadedTitle() const { return WindowTitle(); }
  // The report to open: the one the open-file dialog gives, unless a window was handed one.
  virtual std::optional<std::string> ChooseReport();
  // The templates a window composes its texts with, loaded before each report.
  virtual void LoadTemplates();
  // A command the window handles itself before the shared ones; false for the others.
  virtual bool DispatchOwn(int) { return false; }
  // The start-up every window shares; a window that does more calls it first.
  virtual void Initialise();
  // "Создать"; false when the run stopped before writing anything.
  virtual bool Generate();

  void ShowWarning(const std::string& text);
  // The work database could not be opened (or created), or could not keep the run's records.
  void TellDatabaseFailure(bool opening, const std::string& error);
  void OpenReport();
  void EnableTableCommands(bool enabled);
  void ReadChoices();

  automation::LibraryContext& context_;
  WindowState& state_;
  ConverterUi& ui_;

 private:
  template <typename Handler>
  void Guarded(Handler handler);
  bool Dispatch(int id);

  // Report loading.
  bool LoadReport(const std::string& folder, const std::string& name);
  bool GaveComponents(std::string_view text);
  void RejectBadStructure();
  void TakeLoadedReport();
  void UpdateCommands();
  void TellLostCharacters(const std::string& name);
  void ApplyReadingSettings();
  void UntickNotFitted();
  void ShowSettings();

  // Choices and marks.
  void ShowChoices();
  void ChooseSpecification();
  void ChooseListOfElements();
  void ChoosePurchasedItems();
  void RemovePurchaseColumns();
  void AppendQuantityColumns();
  void SetAllMarks(int mark);
  void ToggleMark();

  // Table files and replace.
  void SaveTable();
  void OpenTable();
  void TakeOpenedTable(const std::string& name);
  void ReplaceText();

  // The create commands and the generation run.
  void CreateDocument(int command);
  bool MakeDocumentFromPattern(DocumentKind kind);
  bool ConfirmDuplicate(DocumentKind kind);
  void OfferSave();
  void WriteTextOutput(const std::string& text);

  const WindowRules rules_;
  table::GridModel table_;
  DocumentKind document_kind_ = DocumentKind::kSpecification;
  OutputDevice output_device_ = OutputDevice::kGraphic;
  SortMode sort_mode_ = SortMode::kByElements;
  bool purchase_columns_ = false;
  std::string reading_note_;
};

// The window of a library command (1..6), or null for a number that opens none.
std::unique_ptr<ConverterWindow> MakeConverterWindow(automation::LibraryContext& context,
                                                     WindowState& state,
                                                     ConverterUi& ui);

// "Текстовый конвертер P-CAD-ЗЕНТАР:board" for the report "board.bom": the caption of a window
// with the name of its report or table file (UTF-8), the name's last four characters (".bom")
// dropped; the caption is code page 1251, the name in it too.
std::string CaptionWithFileName(const std::string& caption, const std::string& file_name);
// A UTF-8 file name less its last four characters, as the captions and the save dialog show it.
std::string WithoutExtension(const std::string& file_name);

}  // namespace zuro::converter
