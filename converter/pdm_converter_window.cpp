#include "converter/pdm_converter_window.h"

#include "readers/pcad_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <utility>

#include "base/file_system.h"
#include "generation/work_sort.h"
#include "base/leading_numbers.h"
#include "base/text_encoding.h"
#include "readers/read_result.h"
#include "table/component_rows.h"

namespace zuro::converter {

using pdm::ConvertMentorListForPdm;
using pdm::IsMentorListPath;
using pdm::kItemKind;
using pdm::kObjectListFile;
using pdm::kUnitKind;
using pdm::ReadPdmReport;

namespace {

// The check image of a row that is passed on by no command until it is marked again.
constexpr int kRemovedMark = -1;
constexpr int32_t kMergedRow = -1;

bool WriteWhole(const std::string& path, const std::string& text) {
  return ReplaceFileContents(path, [&](std::FILE* file) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
  });
}

}  // namespace

PdmConverterWindow::PdmConverterWindow(automation::LibraryContext& context,
                                       WindowState& state,
                                       ConverterUi& ui,
                                       pdm::PdmObjectLines& lines,
                                       std::string report_path)
    : ConverterWindow(context, state, ui, kPdmWindowRules),
      lines_(lines),
      handed_report_(std::move(report_path)) {}

std::string PdmConverterWindow::WindowTitle() const {
  return "Текстовый конвертер P-CAD-ВЕЛДОР";
}

std::string PdmConverterWindow::LoadedTitle() const {
  return "Текстовый конвертер ZURO-ВЕЛДОР";
}

FileDialogRequest PdmConverterWindow::ReportDialog() const {
  FileDialogRequest request;
  request.default_extension = "bom;lst";
  request.initial_name = "*.bom;*.lst";
  request.filter = "*.bom;*.lst||";
  return request;
}

// The PDM's report is read once, at start-up; later opens ask the designer.
std::optional<std::string> PdmConverterWindow::ChooseReport() {
  if (handed_report_.size() > 1)
    return std::exchange(handed_report_, std::string());
  return ConverterWindow::ChooseReport();
}

// The attribute templates are loaded by Create, which needs them; opening a report needs none.
void PdmConverterWindow::LoadTemplates() {}

// A Mentor list is rewritten in memory: no file is written beside it, so none has to be deleted
// afterwards, and a report the designer keeps beside the list is never touched.
readers::ReadResult PdmConverterWindow::ReadReportText(const std::string&,
                                                       const std::string& name,
                                                       std::string& text) {
  context_.command = LibraryCommand::kPcad;
  if (IsMentorListPath(name)) {
    context_.command = LibraryCommand::kMentor;
    text = ConvertMentorListForPdm(text);
  } else if (const char separator = readers::HeaderSeparator(text); separator != ';') {
    // P-CAD's "separated" layout: this window reads every record as a placed part by the
    // report's own layout, and would take the separators for values.
    table().DeleteAllItems();
    state_.attributes = readers::ReportAttributes();
    state_.attributes.refusal =
        std::string("the header's fields are separated by \"") + separator + "\", not by \";\"";
    return readers::ReadResult::kBadStructure;
  }
  const readers::ReadResult result = ReadPdmReport(text, table(), state_.attributes, counts_);
  items_shown_ = counts_.items >= 1;
  units_shown_ = counts_.units >= 1;
  ui_.CheckMenuItem(kIdShowItems, items_shown_);
  ui_.CheckMenuItem(kIdShowUnits, units_shown_);
  return result;
}

// The window starts as the converter windows do, writes object lines instead of host objects,
// and reads the report it was handed at once.
void PdmConverterWindow::Initialise() {
  ConverterWindow::Initialise();
  context_.output_mode = automation::OutputMode::kTextLines;
  OpenReport();
}

bool PdmConverterWindow::DispatchOwn(int id) {
  switch (id) {
    case kIdClose:
      CloseDeletingObjectList();
      return true;
    case kIdShowItems:
      ToggleKind(kItemKind, kIdShowItems, items_shown_, counts_.items);
      return true;
    case kIdShowUnits:
      ToggleKind(kUnitKind, kIdShowUnits, units_shown_, counts_.units);
      return true;
    case kIdTemplates:
      ui_.ShowAttributeTemplatesDialog(pdm::TemplateMode::kEri);
      return true;
    case kIdUnitTemplates:
      ui_.ShowAttributeTemplatesDialog(pdm::TemplateMode::kSe);
      return true;
    default:
      return false;
  }
}

void PdmConverterWindow::OnCancel() {
  CloseDeletingObjectList();
}

// A cancelled window leaves no object list, so the PDM finds no objects of an earlier run.
void PdmConverterWindow::CloseDeletingObjectList() {
  RemoveFile(context_.LibraryFile(kObjectListFile));
  ui_.CloseWindow(kIdClose);
}

// Hidden rows are unmarked so that they are not passed on; showing them again marks them.
void PdmConverterWindow::ToggleKind(std::string_view kind, int command, bool& shown, int rows) {
  if (rows == 0)
    return;
  shown = !shown;
  ui_.CheckMenuItem(command, shown);
  table::GridModel& grid = table();
  const int height = grid.GetRowHeight(0);
  for (int row = 1; row < grid.GetRowCount(); ++row) {
    if (grid.GetItemText(row, 0).find(kind) == std::string::npos)
      continue;
    grid.SetRowHeight(row, shown ? height : 0);
    grid.SetItemImage(row, 0, shown ? table::kMarked : kRemovedMark);
  }
  ui_.RedrawTable();
}

// "Создать объекты ЭРИ": the rows passed on, sorted as the specification sorts its items, each
// give their object lines. Only the specification choice passes anything on; the list is written
// beside the report and into res.txt, each file replaced whole.
bool PdmConverterWindow::Generate() {
  ReadChoices();
  const std::string beside_report =
      state_.report_folder + WithoutExtension(state_.report_path) + ".txt";
  const std::string object_list = context_.LibraryFile(kObjectListFile);
  if (document_kind() == DocumentKind::kSpecification) {
    if (!WriteSortedList(beside_report, object_list))
      return false;
  } else if (!lines_.Begin(context_.library_folder)) {
    ShowWarning("Не созданы шаблоны полей КД");
    return false;
  } else {
    ReplacedFiles written;
    written.first = WriteWhole(beside_report, "");
    written.second = beside_report == object_list ? written.first : WriteWhole(object_list, "");
    TellUnwritten(beside_report, object_list, written);
  }
  ui_.CloseWindow(kIdCreate);
  return true;
}

// A file that could not be written is told of; a res.txt that could not be replaced is removed,
// so that the PDM never takes the objects of an earlier run for this one's.
void PdmConverterWindow::TellUnwritten(const std::string& beside_report,
                                       const std::string& object_list,
                                       const ReplacedFiles& written) {
  if (!written.first)
    ShowWarning("Не удалось записать файл " + Cp1251FromUtf8Path(beside_report));
  if (!written.second) {
    RemoveFile(object_list);
    if (beside_report != object_list)
      ShowWarning("Не удалось записать файл " + Cp1251FromUtf8Path(object_list));
  }
}

// The work database must open before the templates are read, as in the converter windows; a
// failure of either, or a row the database cannot take, leaves the window open with nothing
// written, and the warnings of the lines unshown. The lines go into the file beside the report
// and into res.txt as they are composed, while the records are stored: a large list is never held
// whole. A file that cannot be written is told of, and the other one is written all the same: the
// PDM receives this run's objects even where the report's folder takes no file, and never those
// of an earlier run (a res.txt that cannot be replaced is removed, as Cancel removes it).
bool PdmConverterWindow::WriteSortedList(const std::string& beside_report,
                                         const std::string& object_list) {
  generation::WorkSort sort;
  if (!sort.Open(context_.library_folder)) {
    TellDatabaseFailure(true, sort.LastError());
    return false;
  }
  if (!lines_.Begin(context_.library_folder)) {
    ShowWarning("Не созданы шаблоны полей КД");
    return false;
  }
  Collect(sort);
  std::optional<bool> stored;
  const auto walk = [&](std::FILE* file, std::FILE* copy) {
    stored = WalkInto(sort, file, copy);
    return *stored;
  };
  ReplacedFiles written;
  if (beside_report == object_list) {
    written.first = written.second =
        ReplaceFileContents(object_list, [&](std::FILE* file) { return walk(file, nullptr); });
  } else {
    written = ReplaceFilesContents(beside_report, object_list, walk);
  }
  if (!stored)
    stored = WalkInto(sort, nullptr, nullptr);
  const std::vector<std::string> warnings = lines_.TakeWarnings();
  if (!*stored) {
    TellDatabaseFailure(false, sort.LastError());
    sort.Close();
    return false;
  }
  sort.Close();
  for (const std::string& warning : warnings)
    ShowWarning(warning);
  TellUnwritten(beside_report, object_list, written);
  return true;
}

// One row's record after another in the same texts: a large board's rows cost no allocation
// each.
void PdmConverterWindow::Collect(generation::WorkSort& sort) {
  const table::GridModel& grid = table();
  const generation::SortAttributeColumns columns(state_.attributes.names);
  sort.Reserve(static_cast<size_t>(std::max(grid.GetRowCount() - 1, 0)));
  generation::SortAttributes read;
  generation::WorkRecord record;
  record.name = "1";
  record.refdes = "1";
  for (int row = 1; row < grid.GetRowCount(); ++row) {
    if (grid.GetItemImage(row, 0) != table::kMarked || grid.GetItemData(row, 0) == kMergedRow)
      continue;
    columns.ReadInto(grid, row, read);
    generation::SetSortKeys(read, record);
    record.doc.assign(read.specific);
    char digits[16];
    record.count.assign(digits, std::to_chars(digits, digits + sizeof digits, row).ptr);
    sort.Add(record);
  }
}

// The lines are handed to `file` and `copy` (either none) in pieces of kWritePiece bytes or so,
// while the records are stored; a write that fails shows when its file is closed. False when the
// records could not be stored.
bool PdmConverterWindow::WalkInto(generation::WorkSort& sort, std::FILE* file, std::FILE* copy) {
  constexpr size_t kWritePiece = 1 << 16;
  const table::GridModel& grid = table();
  std::string lines;
  const auto write = [&] {
    for (std::FILE* stream : {file, copy}) {
      if (stream)
        std::fwrite(lines.data(), 1, lines.size(), stream);
    }
    lines.clear();
  };
  const bool stored = sort.WalkWhileStoring([&](const generation::WorkRecord& record) {
    lines_.AppendLines(grid, state_.attributes, static_cast<int>(LeadingInteger(record.count)),
                       lines);
    if (lines.size() >= kWritePiece)
      write();
  });
  write();
  return stored;
}

}  // namespace zuro::converter
