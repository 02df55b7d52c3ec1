// The P-CAD / Mentor converter window (commands 1 and 5): its component table, its three choices
// and what its commands do. The screen is reached only through ConverterUi, so the same class runs
// behind the Win32 dialog, in the tests and in zuro-bom.
#pragma once

#include <cstdint>
#include <string>

#include "converter/converter_ui.h"
#include "table/grid_model.h"
#include "host/library_context.h"

namespace zuro::converter {

enum class DocumentKind : int32_t { kSpecification = 0, kListOfElements = 1, kPurchasedItems = 2 };
enum class OutputDevice : int32_t { kGraphic = 0, kVector = 1 };
enum class SortMode : int32_t { kByElements = 0, kByGost = 1 };

class ConverterDialog {
 public:
  ConverterDialog(host::LibraryContext& context, ConverterUi& ui);
  ConverterDialog(const ConverterDialog&) = delete;
  ConverterDialog& operator=(const ConverterDialog&) = delete;

  // Window events. None of them throws.
  void OnInitDialog();
  // A command or control notification; false for an id the window does not handle.
  bool OnCommand(int id);
  void OnOk();
  void OnCancel();

  table::GridModel& table() { return table_; }
  const table::GridModel& table() const { return table_; }
  bool mentor_mode() const { return mentor_mode_; }
  DocumentKind document_kind() const { return document_kind_; }
  OutputDevice output_device() const { return output_device_; }
  SortMode sort_mode() const { return sort_mode_; }
  bool purchase_columns() const { return purchase_columns_; }

 private:
  template <typename Handler>
  void Guarded(Handler handler);
  bool Dispatch(int id);
  void Initialise();

  // Report loading.
  void OpenReport();
  bool LoadReport(const std::string& folder, const std::string& name);
  void RejectBadStructure();
  void ReportUnreadable(const std::string& name);
  void ReportLostCharacters(const std::string& name);
  void TakeLoadedReport();
  void UpdateCommands();
  const char* ModeCaption() const;

  // Choices and marks.
  void ShowChoices();
  void ReadChoices();
  void ChooseSpecification();
  void ChooseListOfElements();
  void ChoosePurchasedItems();
  void RemovePurchaseColumns();
  void AppendQuantityColumns();
  void SetAllMarks(int mark);
  void ToggleMark();

  // Commands that come with later parts of the window.
  void CreateDocument(int command);
  void Generate();
  void SaveTable();
  void OpenTable();
  void ReplaceText();

  host::LibraryContext& context_;
  ConverterUi& ui_;
  table::GridModel table_;
  const bool mentor_mode_;
  DocumentKind document_kind_ = DocumentKind::kSpecification;
  OutputDevice output_device_ = OutputDevice::kGraphic;
  SortMode sort_mode_ = SortMode::kByElements;
  bool purchase_columns_ = false;
};

// "Текстовый конвертер P-CAD-ЗЕНТАР:board" for the report "board.bom": the caption of a window
// with the name of its report or table file, the name's last four characters (".bom") dropped.
std::string CaptionWithFileName(const std::string& caption, const std::string& file_name);

}  // namespace zuro::converter
