// The PDM converter window (dialog and menu 1006): the window the PDM opens on a report through
// LoadBom. It reads the report's placed parts, lets the designer choose the electrical items and
// assembly units to pass on, and "Создать объекты ЭРИ" writes their object lines, in the
// specification's order, into the object list res.txt in the library folder. It writes nothing
// into a host document.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "converter/converter_window.h"
#include "generation/work_sort.h"
#include "pdm/object_list_reader.h"
#include "pdm/pdm_object_lines.h"
#include "pdm/pdm_reader.h"

namespace zuro::converter {

// Menu 1006's checkable items that show or hide the two kinds of rows.
inline constexpr int kIdShowItems = 32785;      // "Электрорадиоизделия"
inline constexpr int kIdShowUnits = 32786;      // "Сборочные единицы"
inline constexpr int kIdUnitTemplates = 32784;  // "Шаблоны СЕ..."

class PdmConverterWindow : public ConverterWindow {
 public:
  // `report_path` is the report LoadBom hands over: read at start-up, without a file dialog.
  PdmConverterWindow(automation::LibraryContext& context,
                     WindowState& state,
                     ConverterUi& ui,
                     pdm::PdmObjectLines& lines,
                     std::string report_path);

  int DialogTemplate() const override { return 1006; }
  const pdm::PdmRowCounts& counts() const { return counts_; }
  void OnCancel() override;

 protected:
  std::string WindowTitle() const override;
  std::string LoadedTitle() const override;
  FileDialogRequest ReportDialog() const override;
  readers::ReadResult ReadReportText(const std::string& folder,
                                     const std::string& name,
                                     std::string& text) override;
  std::optional<std::string> ChooseReport() override;
  void LoadTemplates() override;
  bool DispatchOwn(int id) override;
  void Initialise() override;
  bool Generate() override;

 private:
  void ToggleKind(std::string_view kind, int command, bool& shown, int rows);
  void CloseDeletingObjectList();
  bool WriteSortedList(const std::string& beside_report, const std::string& object_list);
  // Adds the rows passed on to the sort; false when one could not be stored.
  void TellUnwritten(const std::string& beside_report,
                     const std::string& object_list,
                     const ReplacedFiles& written);
  void Collect(generation::WorkSort& sort);
  bool WalkInto(generation::WorkSort& sort, std::FILE* file, std::FILE* copy);

  pdm::PdmObjectLines& lines_;
  std::string handed_report_;
  pdm::PdmRowCounts counts_;
  bool items_shown_ = false;
  bool units_shown_ = false;
};

}  // namespace zuro::converter
