#include "converter/converter_dialog.h"

#include <exception>

#include "base/paths.h"
#include "base/text_file.h"
#include "host/dispatch.h"
#include "readers/mentor_converter.h"
#include "readers/pcad_reader.h"
#include "templates/field_templates.h"

namespace zuro::converter {

namespace {

constexpr const char* kPcadCaption = "Текстовый конвертер P-CAD-ЗЕНТАР";
constexpr const char* kMentorCaption = "Текстовый конвертер MENTOR-ЗЕНТАР";
constexpr const char* kWarningCaption = "Внимание";
constexpr const char* kKitsColumn = "Количество в комплекты";
constexpr const char* kAdjustmentColumn = "Количество на регулировку";
constexpr const char* kKitsMark = "комп";

constexpr int kMentorCommand = 5;
constexpr int kMarked = 1;
constexpr int kUnmarked = 0;
// A file name of fewer characters is what a cancelled file dialog leaves.
constexpr size_t kShortestFileName = 3;

constexpr table::CellFormat kQuantityColumnFormat =
    table::kFormatCentre | table::kFormatVCentre | table::kFormatSingleLine;

// The commands that need a loaded table.
constexpr int kTableCommands[] = {kIdSelectAll, kIdClearAll, kIdCreate, kIdTemplates, kIdReplace};

struct Tooltip {
  int control;
  const char* text;
};
constexpr Tooltip kTooltips[] = {
    {kIdOpenReport, " Открыть файл *.ВОМ "},
    {kIdSelectAll, " Выбрать все элементы "},
    {kIdClearAll, " Оменить выбор всех элементов "},
    {kIdTemplates, " Настроить шаблоны полей текстовой КД "},
};

MessageRequest Warning(std::string text) {
  return {std::move(text), kWarningCaption, MessageButtons::kOk};
}

}  // namespace

std::string CaptionWithFileName(const std::string& caption, const std::string& file_name) {
  const size_t kept = file_name.size() > 4 ? file_name.size() - 4 : 0;
  return caption + ":" + file_name.substr(0, kept);
}

ConverterDialog::ConverterDialog(host::LibraryContext& context, ConverterUi& ui)
    : context_(context), ui_(ui), mentor_mode_(context.command_number == kMentorCommand) {}

// Every event handler runs through here. A host call that fails ends the command with a message
// and leaves the window open; nothing may leave a window procedure, whatever went wrong.
template <typename Handler>
void ConverterDialog::Guarded(Handler handler) {
  try {
    handler();
  } catch (const host::AutomationError& error) {
    ui_.ShowMessage(Warning(std::string("Ошибка обращения к ЗЕНТАР: ") + error.what()));
  } catch (const std::exception& error) {
    ui_.ShowMessage(Warning(std::string("Внутренняя ошибка: ") + error.what()));
  } catch (...) {
    ui_.ShowMessage(Warning("Внутренняя ошибка"));
  }
}

void ConverterDialog::OnInitDialog() {
  Guarded([this] { Initialise(); });
}

// A command that failed was still the window's.
bool ConverterDialog::OnCommand(int id) {
  bool handled = true;
  Guarded([&] { handled = Dispatch(id); });
  return handled;
}

void ConverterDialog::OnOk() {
  Guarded([this] { Generate(); });
}

void ConverterDialog::OnCancel() {
  ui_.CloseWindow(kIdClose);
}

// The window starts empty with every command that needs a table greyed. The choices are shown
// first, as the dialog's data exchange does before any handler runs. With a model document active
// only the specification can be made, and the report is asked for at once.
void ConverterDialog::Initialise() {
  ShowChoices();
  for (const int id : kTableCommands)
    ui_.EnableControl(id, false);
  for (const Tooltip& tooltip : kTooltips)
    ui_.AddTooltip(tooltip.control, tooltip.text);
  ChooseSpecification();
  for (const int id : kDocumentKindRadios)
    ui_.EnableControl(id, false);
  ui_.EnableMenuItem(kSettingsMenu, false);
  ui_.EnableMenuItem(kCreateMenu, false);
  context_.duplicate_flags.fill(false);
  ui_.SetCaption(ModeCaption());
  if (context_.model_document_flag == 1) {
    ui_.EnableMenuItem(kCreateListMenu, false);
    ui_.EnableMenuItem(kCreatePurchasedMenu, false);
    OpenReport();
  }
}

bool ConverterDialog::Dispatch(int id) {
  switch (id) {
    case kIdOpenReport:
      OpenReport();
      return true;
    case kIdSaveTable:
      SaveTable();
      return true;
    case kIdOpenTable:
      OpenTable();
      return true;
    case kIdCreate:
      Generate();
      return true;
    case kIdClose:
      ui_.CloseWindow(kIdClose);
      return true;
    case kIdSelectAll:
      SetAllMarks(kMarked);
      return true;
    case kIdClearAll:
      SetAllMarks(kUnmarked);
      return true;
    case kIdTemplates:
    case kIdTemplatesMenu:
      ui_.ShowTemplatesDialog();
      return true;
    case kIdCreateSpec:
    case kIdCreateListByElements:
    case kIdCreateListByGost:
    case kIdCreatePurchased:
      CreateDocument(id);
      return true;
    case kIdHelp:
      ui_.ShowHelp(context_.help_path);
      return true;
    case kIdReplace:
      ReplaceText();
      return true;
    case kIdSpecRadio:
      ChooseSpecification();
      return true;
    case kIdListRadio:
      ChooseListOfElements();
      return true;
    case kIdPurchaseRadio:
      ChoosePurchasedItems();
      return true;
    case kIdGrid:
      ToggleMark();
      return true;
    default:
      return false;
  }
}

const char* ConverterDialog::ModeCaption() const {
  return mentor_mode_ ? kMentorCaption : kPcadCaption;
}

// "Файл" → "Открыть...". The templates are loaded first so that the window knows whether it may
// compose texts later. Only the report's name is kept as ReportPath; its folder goes to
// report_folder instead of becoming the process's current folder, which belongs to the host.
void ConverterDialog::OpenReport() {
  templates::Load(context_.field_templates, context_.command_number, context_.library_folder);
  const std::string previous_path = context_.report_path;
  const std::string previous_folder = context_.report_folder;
  context_.report_path.clear();
  FileDialogRequest request;
  request.default_extension = mentor_mode_ ? "lst" : "bom";
  request.initial_name = mentor_mode_ ? "*.lst" : "*.bom";
  request.filter = mentor_mode_ ? "*.lst||" : "*.bom||";
  const std::optional<std::string> chosen = ui_.ChooseFile(request);
  const FolderAndName report = SplitFolder(chosen.value_or(""));
  if (report.name.size() >= kShortestFileName && !LoadReport(report.folder, report.name)) {
    // The table still holds what it held before, and ReportPath names it again.
    context_.report_path = previous_path;
    context_.report_folder = previous_folder;
  }
  UpdateCommands();
}

// A Mentor list is first rewritten, in memory, as a P-CAD report, which is then read under the
// list's name with a blank before it. False when the file could not be read at all: the table is
// then left as it was.
bool ConverterDialog::LoadReport(const std::string& folder, const std::string& name) {
  std::optional<TextFile> report = ReadTextFile(folder + name);
  if (!report) {
    ReportUnreadable(name);
    return false;
  }
  std::string report_name = name;
  if (mentor_mode_) {
    report_name = readers::ConvertedReportPath(name);
    report->text = readers::ConvertMentor(report->text);
  }
  context_.report_path = report_name;
  context_.report_folder = folder;
  const readers::ReadResult result = readers::ReadReport(report->text, table_, context_.attributes);
  if (result == readers::ReadResult::kBadStructure) {
    RejectBadStructure();
    return true;
  }
  ui_.AttachMarkImages();
  ui_.RedrawTable();
  if (table_.GetRowCount() >= 2)
    TakeLoadedReport();
  if (report->lost_characters)
    ReportLostCharacters(name);
  return true;
}

// The reader has emptied the table already.
void ConverterDialog::RejectBadStructure() {
  ui_.ShowMessage(Warning("Недопустимая структура файла"));
  ui_.RedrawTable();
  context_.report_path.clear();
  ui_.SetCaption(ModeCaption());
}

// The table, the caption and the commands stay as they were; only the user is told.
void ConverterDialog::ReportUnreadable(const std::string& name) {
  ui_.ShowMessage(Warning("Не удалось открыть файл " + name));
}

// A UTF-8 report is read as its code page 1251 twin; what 1251 cannot write shows as "?", and the
// designer is told once, after the table is shown.
void ConverterDialog::ReportLostCharacters(const std::string& name) {
  ui_.ShowMessage(Warning("Файл " + name +
                          " записан в кодировке UTF-8. Знаки, которых нет в кодировке "
                          "Windows-1251, заменены знаком \"?\""));
}

// The table is rebuilt by every load, so the two quantity columns are appended to a table that
// has none of them yet. The PDM road writes text lines and has no use for them.
void ConverterDialog::TakeLoadedReport() {
  context_.duplicate_flags.fill(false);
  for (const int id : kDocumentKindRadios)
    ui_.EnableControl(id, true);
  ui_.SetCaption(CaptionWithFileName(ModeCaption(), context_.report_path));
  if (context_.text_output_mode == 0)
    AppendQuantityColumns();
}

// The commands follow the table: enabled with at least one component row, greyed otherwise. The
// one-pixel change of width makes the window lay its table out again.
void ConverterDialog::UpdateCommands() {
  const bool loaded = table_.GetRowCount() >= 2;
  for (const int id : kTableCommands)
    ui_.EnableControl(id, loaded);
  ui_.EnableMenuItem(kSettingsMenu, loaded);
  ui_.EnableMenuItem(kCreateMenu, loaded);
  ui_.ResizeWidth(loaded ? 1 : -1);
}

void ConverterDialog::ShowChoices() {
  ui_.CheckRadio(kDocumentKindRadios, static_cast<int>(document_kind_));
  ui_.CheckRadio(kOutputDeviceRadios, static_cast<int>(output_device_));
  ui_.CheckRadio(kSortModeRadios, static_cast<int>(sort_mode_));
}

// A group without a checked radio keeps its value.
void ConverterDialog::ReadChoices() {
  if (const int kind = ui_.CheckedRadio(kDocumentKindRadios); kind >= 0)
    document_kind_ = static_cast<DocumentKind>(kind);
  if (const int device = ui_.CheckedRadio(kOutputDeviceRadios); device >= 0)
    output_device_ = static_cast<OutputDevice>(device);
  if (const int sort = ui_.CheckedRadio(kSortModeRadios); sort >= 0)
    sort_mode_ = static_cast<SortMode>(sort);
}

// The sort order means something for the list of elements only.
void ConverterDialog::ChooseSpecification() {
  ReadChoices();
  ui_.EnableControl(kIdSortByElementsRadio, false);
  ui_.EnableControl(kIdSortByGostRadio, false);
  RemovePurchaseColumns();
}

void ConverterDialog::ChooseListOfElements() {
  ReadChoices();
  ui_.EnableControl(kIdSortByElementsRadio, true);
  ui_.EnableControl(kIdSortByGostRadio, true);
  RemovePurchaseColumns();
}

// The purchased-items list needs the kits and adjustment quantities; a table that already ends
// with them (the last-but-one heading names the kits) is left alone.
void ConverterDialog::ChoosePurchasedItems() {
  ui_.EnableControl(kIdSortByElementsRadio, false);
  ui_.EnableControl(kIdSortByGostRadio, false);
  const int columns = table_.GetColumnCount();
  if (columns > 0 && table_.GetItemText(0, columns - 2).find(kKitsMark) == std::string::npos)
    AppendQuantityColumns();
  ui_.RedrawTable();
  purchase_columns_ = true;
}

// Removes the last two columns, which the purchased-items choice made sure of; the mark column
// is never removed.
void ConverterDialog::RemovePurchaseColumns() {
  if (!purchase_columns_)
    return;
  for (int removed = 0; removed < 2 && table_.GetColumnCount() > 1; ++removed)
    table_.DeleteColumn(table_.GetColumnCount() - 1);
  ui_.RedrawTable();
  purchase_columns_ = false;
}

void ConverterDialog::AppendQuantityColumns() {
  table_.InsertColumn(kKitsColumn, kQuantityColumnFormat);
  table_.InsertColumn(kAdjustmentColumn, kQuantityColumnFormat);
}

// Row 0 is the header and carries no mark.
void ConverterDialog::SetAllMarks(int mark) {
  {
    table::GridUpdate update(table_);
    for (int row = 1; row < table_.GetRowCount(); ++row)
      table_.SetItemImage(row, 0, mark);
  }
  ui_.RedrawTable();
}

// The grid reports every click on a valid cell; only a click that put the focus into column 1
// flips the row's mark, so that editing the other cells leaves the marks alone.
void ConverterDialog::ToggleMark() {
  const table::CellId focus = table_.GetFocusCell();
  if (focus.col == 1 && focus.row >= 1 && focus.row < table_.GetRowCount()) {
    const int mark = table_.GetItemImage(focus.row, 0);
    table_.SetItemImage(focus.row, 0, mark == kMarked ? kUnmarked : kMarked);
  }
  ui_.RedrawTable();
}

// The "Создать" menu: the command names the document kind, and for the list of elements the
// sort order; the other commands keep the sort order as it was.
void ConverterDialog::CreateDocument(int command) {
  switch (command) {
    case kIdCreateSpec:
      document_kind_ = DocumentKind::kSpecification;
      break;
    case kIdCreateListByElements:
      document_kind_ = DocumentKind::kListOfElements;
      sort_mode_ = SortMode::kByElements;
      break;
    case kIdCreateListByGost:
      document_kind_ = DocumentKind::kListOfElements;
      sort_mode_ = SortMode::kByGost;
      break;
    case kIdCreatePurchased:
      document_kind_ = DocumentKind::kPurchasedItems;
      break;
  }
  Generate();
}

// The generation run writes the chosen document; it arrives with the document writers.
void ConverterDialog::Generate() {}

// Table files (".tbl") arrive with their reader and writer.
void ConverterDialog::SaveTable() {}
void ConverterDialog::OpenTable() {}

// The replace-text dialog arrives later; the hidden button "Заменить..." does nothing until then.
void ConverterDialog::ReplaceText() {}

}  // namespace zuro::converter
