#include "converter/converter_window.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

#include "base/file_system.h"
#include "base/paths.h"
#include "base/text_encoding.h"
#include "automation/dispatch.h"
#include "readers/latin_designators.h"
#include "table/component_rows.h"
#include "generation/patterns.h"
#include "generation/specification.h"
#include "templates/field_templates.h"

namespace zuro::converter {

namespace {

constexpr const char* kWarningCaption = "Внимание";
constexpr const char* kKitsColumn = "Количество в комплекты";
constexpr const char* kAdjustmentColumn = "Количество на регулировку";
constexpr const char* kKitsMark = "комп";

// A file name of fewer characters is what a cancelled file dialog leaves.
constexpr size_t kShortestFileName = 3;

constexpr table::CellFormat kQuantityColumnFormat = table::kColumnTitleFormat;

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

// Characters, not bytes: a UTF-8 name without an extension ("отчёт") loses four whole letters
// and never half of one.
std::string WithoutExtension(const std::string& file_name) {
  size_t end = file_name.size();
  for (int dropped = 0; dropped < 4 && end > 0; ++dropped) {
    --end;
    while (end > 0 && (static_cast<unsigned char>(file_name[end]) & 0xC0) == 0x80)
      --end;  // a continuation byte of the character
  }
  return file_name.substr(0, end);
}

std::string CaptionWithFileName(const std::string& caption, const std::string& file_name) {
  return caption + ":" + Cp1251FromUtf8Path(WithoutExtension(file_name));
}

ConverterWindow::ConverterWindow(automation::LibraryContext& context,
                                 WindowState& state,
                                 ConverterUi& ui,
                                 WindowRules rules)
    : context_(context), state_(state), ui_(ui), rules_(rules) {}

// Every event handler runs through here. A host call that fails ends the command with a message
// and leaves the window open; nothing may leave a window procedure, whatever went wrong.
template <typename Handler>
void ConverterWindow::Guarded(Handler handler) {
  try {
    handler();
  } catch (const automation::AutomationError& error) {
    ui_.ShowMessage(Warning(std::string("Ошибка обращения к ЗЕНТАР: ") + error.what()));
  } catch (const std::exception& error) {
    ui_.ShowMessage(Warning(std::string("Внутренняя ошибка: ") + error.what()));
  } catch (...) {
    ui_.ShowMessage(Warning("Внутренняя ошибка"));
  }
}

void ConverterWindow::OnInitDialog() {
  Guarded([this] { Initialise(); });
}

// A command that failed was still the window's.
bool ConverterWindow::OnCommand(int id) {
  bool handled = true;
  Guarded([&] { handled = Dispatch(id); });
  return handled;
}

void ConverterWindow::OnOk() {
  Guarded([this] { Generate(); });
}

void ConverterWindow::OnCancel() {
  ui_.CloseWindow(kIdClose);
}

// The dialog waits for the step and then reads the state; the table shows the change at once.
void ConverterWindow::OnReplaceStep() {
  Guarded([this] {
    table::ReplaceStep(table_, state_.replace_state);
    ui_.RedrawTable();
  });
}

void ConverterWindow::ShowWarning(const std::string& text) {
  ui_.ShowMessage(Warning(text));
}

void ConverterWindow::TellDatabaseFailure(bool opening, const std::string& error) {
  ShowWarning(std::string(opening ? "Не удалось открыть" : "Не удалось записать") +
              " рабочую базу данных " +
              Cp1251FromUtf8Path(context_.LibraryFile(generation::kNamesDatabaseFile)) + "\n\n" +
              error);
}

// The window starts empty with every command that needs a table greyed. The choices are shown
// first, as the dialog's data exchange does before any handler runs. With a model document active
// only the specification can be made, and the report is asked for at once.
void ConverterWindow::Initialise() {
  context_.settings = LoadSettings(context_.library_folder).settings;
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
  state_.duplicate_flags.fill(false);
  ui_.SetCaption(WindowTitle());
  if (context_.active_document == automation::ActiveDocument::kModel) {
    ui_.EnableMenuItem(kCreateListMenu, false);
    ui_.EnableMenuItem(kCreatePurchasedMenu, false);
    OpenReport();
  }
}

bool ConverterWindow::Dispatch(int id) {
  if (DispatchOwn(id))
    return true;
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
      SetAllMarks(table::kMarked);
      return true;
    case kIdClearAll:
      SetAllMarks(table::kUnmarked);
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
    case kIdSettings:
      ShowSettings();
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
    case kIdOpenReportAlso:
      if (!rules_.open_report_command_also)
        return false;
      OpenReport();
      return true;
    default:
      return false;
  }
}

// "Файл" → "Открыть...". The templates are loaded first so that the window knows whether it may
// compose texts later. Only the report's name is kept as ReportPath; its folder goes to
// report_folder instead of becoming the process's current folder, which belongs to the host.
void ConverterWindow::OpenReport() {
  LoadTemplates();
  const std::string previous_path = state_.report_path;
  const std::string previous_folder = state_.report_folder;
  state_.report_path.clear();
  const std::optional<std::string> chosen = ChooseReport();
  if (!chosen && rules_.cancelled_open_keeps_report) {
    state_.report_path = previous_path;
    return;
  }
  const FolderAndName report = SplitFolder(chosen.value_or(""));
  if (report.name.size() >= kShortestFileName && !LoadReport(report.folder, report.name)) {
    // The table still holds what it held before, and ReportPath names it again.
    state_.report_path = previous_path;
    state_.report_folder = previous_folder;
  }
  UpdateCommands();
}

void ConverterWindow::LoadTemplates() {
  templates::Load(state_.field_templates, context_.command, context_.library_folder);
}

std::optional<std::string> ConverterWindow::ChooseReport() {
  return ui_.ChooseFile(ReportDialog());
}

// False when the file could not be read at all: the table is then left as it was. A UTF-8 report
// is read as its code page 1251 twin; what 1251 cannot write shows as "?", and the designer is
// told once, after the table is shown.
bool ConverterWindow::LoadReport(const std::string& folder, const std::string& name) {
  std::optional<TextFile> report = ReadTextFile(folder + name);
  if (!report) {
    ShowWarning("Не удалось открыть файл " + Cp1251FromUtf8Path(name));
    return false;
  }
  state_.report_path = name;
  state_.report_folder = folder;
  if (ReadReportText(folder, name, report->text) == readers::ReadResult::kBadStructure ||
      !GaveComponents(report->text)) {
    RejectBadStructure();
    return true;
  }
  ApplyReadingSettings();
  ui_.AttachMarkImages();
  ui_.RedrawTable();
  if (table_.GetRowCount() >= 2)
    TakeLoadedReport();
  if (report->lost_characters)
    TellLostCharacters(name);
  return true;
}

// The settings act on the report as it is read: designators first, so that a mark is looked for
// in the table the designer will see.
void ConverterWindow::ApplyReadingSettings() {
  reading_note_.clear();
  if (context_.settings.latin_designators)
    readers::UseLatinDesignators(table_, state_.attributes, context_.command);
  UntickNotFitted();
}

// A row of a part not fitted is left unticked, so that it takes part in no document unless the
// designer ticks it; the caption says how many and by which marks, once.
void ConverterWindow::UntickNotFitted() {
  const NotFittedMarks marks(context_.settings.not_fitted);
  if (marks.empty())
    return;
  int unticked = 0;
  std::vector<std::string_view> found;
  for (int row = 1; row < table_.GetRowCount(); ++row) {
    for (int column = 1; column < table_.GetColumnCount(); ++column) {
      const std::string_view mark = marks.MarkOf(table_.ItemText(row, column));
      if (mark.empty())
        continue;
      table_.SetItemImage(row, 0, table::kUnmarked);
      ++unticked;
      if (std::find(found.begin(), found.end(), mark) == found.end())
        found.push_back(mark);
      break;
    }
  }
  if (unticked == 0)
    return;
  reading_note_ = "не отмечено строк: " + std::to_string(unticked) + " (";
  for (size_t i = 0; i < found.size(); ++i)
    reading_note_.append(i ? ", " : "").append(found[i]);
  reading_note_ += ")";
}

// The settings are read again only when the dialog wrote them.
void ConverterWindow::ShowSettings() {
  if (ui_.ShowSettingsDialog())
    context_.settings = LoadSettings(context_.library_folder).settings;
}

void ConverterWindow::TellLostCharacters(const std::string& name) {
  ShowWarning("Файл " + Cp1251FromUtf8Path(name) +
              " записан в кодировке UTF-8. Знаки, которых нет в кодировке Windows-1251, "
              "заменены знаком \"?\"");
}

// A report that holds text but gave no component (no header found, or none after it) is refused
// like any report of the wrong structure: an empty table without a word would tell the designer
// that the board has no components. A file of blanks alone is an empty report and leaves the
// title row. Returns false, with the table emptied and the reason kept, when the report is refused.
bool ConverterWindow::GaveComponents(std::string_view text) {
  if (table_.GetRowCount() >= 2 || text.find_first_not_of(" \t\r\n") == std::string_view::npos)
    return true;
  const bool header = table_.GetColumnCount() > 1;
  table_.DeleteAllItems();
  state_.attributes = readers::ReportAttributes();
  state_.attributes.refusal = header ? "no component line after the header line"
                                     : "no header line naming the report's columns";
  return false;
}

// The reader has emptied the table already.
void ConverterWindow::RejectBadStructure() {
  ShowWarning("Недопустимая структура файла");
  if (!state_.attributes.refusal.empty())
    ui_.ExplainRefusal(state_.attributes.refusal);
  ui_.RedrawTable();
  state_.report_path.clear();
  ui_.SetCaption(LoadedTitle());
}

// The table is rebuilt by every load, so the two quantity columns are appended to a table that
// has none of them yet. The PDM road writes text lines and has no use for them.
void ConverterWindow::TakeLoadedReport() {
  state_.duplicate_flags.fill(false);
  for (const int id : kDocumentKindRadios)
    ui_.EnableControl(id, true);
  const std::string caption = CaptionWithFileName(LoadedTitle(), state_.report_path);
  ui_.SetCaption(reading_note_.empty() ? caption : caption + " - " + reading_note_);
  if (!rules_.quantity_columns_follow_text_output ||
      context_.output_mode == automation::OutputMode::kHostObjects)
    AppendQuantityColumns();
}

// The commands follow the table: enabled with at least one component row, greyed otherwise. The
// one-pixel change of width makes the window lay its table out again.
void ConverterWindow::UpdateCommands() {
  const bool loaded = table_.GetRowCount() >= 2;
  EnableTableCommands(loaded);
  ui_.ResizeWidth(loaded ? 1 : -1);
}

// The buttons and the menu-bar positions "Настройка" and "Создать".
void ConverterWindow::EnableTableCommands(bool enabled) {
  for (const int id : kTableCommands)
    ui_.EnableControl(id, enabled);
  ui_.EnableMenuItem(kSettingsMenu, enabled);
  ui_.EnableMenuItem(kCreateMenu, enabled);
}

void ConverterWindow::ShowChoices() {
  ui_.CheckRadio(kDocumentKindRadios, static_cast<int>(document_kind_));
  ui_.CheckRadio(kOutputDeviceRadios, static_cast<int>(output_device_));
  ui_.CheckRadio(kSortModeRadios, static_cast<int>(sort_mode_));
}

// A group without a checked radio keeps its value.
void ConverterWindow::ReadChoices() {
  if (const int kind = ui_.CheckedRadio(kDocumentKindRadios); kind >= 0)
    document_kind_ = static_cast<DocumentKind>(kind);
  if (const int device = ui_.CheckedRadio(kOutputDeviceRadios); device >= 0)
    output_device_ = static_cast<OutputDevice>(device);
  if (const int sort = ui_.CheckedRadio(kSortModeRadios); sort >= 0)
    sort_mode_ = static_cast<SortMode>(sort);
}

// The sort order means something for the list of elements only.
void ConverterWindow::ChooseSpecification() {
  ReadChoices();
  ui_.EnableControl(kIdSortByElementsRadio, false);
  ui_.EnableControl(kIdSortByGostRadio, false);
  RemovePurchaseColumns();
}

void ConverterWindow::ChooseListOfElements() {
  ReadChoices();
  ui_.EnableControl(kIdSortByElementsRadio, true);
  ui_.EnableControl(kIdSortByGostRadio, true);
  RemovePurchaseColumns();
}

// The purchased-items list needs the kits and adjustment quantities; a table that already ends
// with them (the last-but-one heading names the kits) is left alone.
void ConverterWindow::ChoosePurchasedItems() {
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
void ConverterWindow::RemovePurchaseColumns() {
  if (!purchase_columns_)
    return;
  for (int removed = 0; removed < 2 && table_.GetColumnCount() > 1; ++removed)
    table_.DeleteColumn(table_.GetColumnCount() - 1);
  ui_.RedrawTable();
  purchase_columns_ = false;
}

void ConverterWindow::AppendQuantityColumns() {
  table_.InsertColumn(kKitsColumn, kQuantityColumnFormat);
  table_.InsertColumn(kAdjustmentColumn, kQuantityColumnFormat);
}

// Row 0 is the header and carries no mark.
void ConverterWindow::SetAllMarks(int mark) {
  {
    table::GridUpdate update(table_);
    for (int row = 1; row < table_.GetRowCount(); ++row)
      table_.SetItemImage(row, 0, mark);
  }
  ui_.RedrawTable();
}

// The grid reports every click on a valid cell; only a click that put the focus into column 1
// flips the row's mark, so that editing the other cells leaves the marks alone.
void ConverterWindow::ToggleMark() {
  const table::CellId focus = table_.GetFocusCell();
  const bool allowed = !rules_.marks_need_components || table_.GetRowCount() > 1;
  if (allowed && focus.col == 1 && focus.row >= 1 && focus.row < table_.GetRowCount()) {
    const int mark = table_.GetItemImage(focus.row, 0);
    table_.SetItemImage(focus.row, 0, mark == table::kMarked ? table::kUnmarked : table::kMarked);
  }
  ui_.RedrawTable();
}

// "Заменить..." starts a new search; the column, the texts and the histories keep their last
// values.
void ConverterWindow::ReplaceText() {
  table::ReplaceState& state = state_.replace_state;
  state.pending_row = 0;
  state.Restart();
  state.all = false;
  state.skip = false;
  ui_.ShowReplaceTextDialog();
}

// The "Создать" menu. With no document open in the host, a new one is made from the kind's
// pattern first, and offered for saving at the end; a second document of a kind from the same
// table is made only when the designer says so. The command names the document kind, and for
// the list of elements the sort order; the other commands keep the sort order as it was.
void ConverterWindow::CreateDocument(int command) {
  DocumentKind kind = DocumentKind::kSpecification;
  switch (command) {
    case kIdCreateListByElements:
    case kIdCreateListByGost:
      kind = DocumentKind::kListOfElements;
      break;
    case kIdCreatePurchased:
      kind = DocumentKind::kPurchasedItems;
      break;
  }
  // With a model document active only the specification can be made: its menu greys the other
  // commands, and a command sent all the same does nothing.
  if (kind != DocumentKind::kSpecification &&
      context_.active_document == automation::ActiveDocument::kModel)
    return;
  const bool new_document =
      context_.graphic_document.empty() &&
      context_.active_document == automation::ActiveDocument::kGraphicOrSpecification;
  if (new_document && !MakeDocumentFromPattern(kind))
    return;
  if (kind == DocumentKind::kSpecification)
    ReadChoices();
  if (!ConfirmDuplicate(kind))
    return;
  document_kind_ = kind;
  if (command == kIdCreateListByElements)
    sort_mode_ = SortMode::kByElements;
  if (command == kIdCreateListByGost)
    sort_mode_ = SortMode::kByGost;
  ShowChoices();
  // A run stopped before it wrote anything made no objects to duplicate.
  if (Generate())
    state_.duplicate_flags[static_cast<size_t>(kind)] = true;
  if (new_document)
    OfferSave();
}

// A pattern that is missing or cannot be copied makes no document, and the command stops: the
// working copy an earlier command left must not receive this command's objects.
bool ConverterWindow::MakeDocumentFromPattern(DocumentKind kind) {
  const generation::PatternFiles files = generation::PatternOf(kind);
  switch (generation::NewFromPattern(kind, context_.library_folder, context_.application,
                                     context_.spec_document)) {
    case generation::NewDocument::kMade:
      return true;
    case generation::NewDocument::kPatternMissing:
      ShowWarning("Не найден файл шаблона документа " + Cp1251FromUtf8Path(files.pattern));
      return false;
    case generation::NewDocument::kCopyNotWritten:
      ShowWarning("Не удалось записать файл " + Cp1251FromUtf8Path(files.working_copy));
      return false;
  }
  return false;
}

bool ConverterWindow::ConfirmDuplicate(DocumentKind kind) {
  static constexpr const char* kQuestions[] = {
      "Объекты спецификации уже созданы и будут дублированы. Продолжить? ",
      "Объекты перечня элементов уже созданы и будут дублированы. Продолжить? ",
      "Объекты ведомости покупных изделий уже созданы и будут дублированы. Продолжить? ",
  };
  const auto index = static_cast<size_t>(kind);
  if (!state_.duplicate_flags[index])
    return true;
  return ui_.ShowMessage({kQuestions[index], "", MessageButtons::kYesNo}) == MessageAnswer::kYes;
}

// A name of one character, or the "*.spw" the dialog started with, saves nothing; the host is
// told that no name was chosen.
void ConverterWindow::OfferSave() {
  FileDialogRequest request;
  request.save = true;
  request.default_extension = "spw";
  request.initial_name = "*.spw";
  request.filter = "*.spw||";
  request.overwrite_prompt = true;
  request.hide_read_only = true;
  const std::string path = ui_.ChooseFile(request).value_or("");
  if (path.size() > 1 && !SplitFolder(path).name.starts_with("*."))
    context_.spec_document.SaveAs(path);
  else
    context_.spec_document.NoNameChosen();
}

// "Создать": the run reads the choices back from the controls, composes every selected row with
// the templates loaded afresh, and ends with the kind's completion message. Rows a GOST split
// appended stay in the table. The specification of the P-CAD window is sorted through the work
// database, which must open before anything is written.
bool ConverterWindow::Generate() {
  ReadChoices();
  const bool specification = document_kind_ == DocumentKind::kSpecification;
  const bool sorted = specification && rules_.generation.sorts_specification;
  const bool text_output = rules_.generation.heeds_text_output &&
                           context_.output_mode == automation::OutputMode::kTextLines;
  const generation::DocumentTarget target{context_.application, context_.graphic_document,
                                          context_.spec_document};
  const generation::SpecTarget spec_target{target, context_.model_document, context_.spec_columns,
                                           output_device_, context_.settings.range_separator};
  std::string text_lines;
  generation::SpecificationRun spec_run(table_, state_.attributes, spec_target,
                                        text_output && specification ? &text_lines : nullptr);
  if (sorted && !spec_run.OpenWorkTables(context_.library_folder)) {
    TellDatabaseFailure(true, spec_run.LastError());
    return false;
  }
  state_.field_templates.loaded =
      templates::Load(state_.field_templates, context_.command, context_.library_folder);
  if (!state_.field_templates.loaded) {
    ShowWarning("Не созданы шаблоны полей КД");
    return false;
  }
  const generation::RunChoices choices{document_kind_, sort_mode_, output_device_,
                                       context_.output_mode == automation::OutputMode::kTextLines,
                                       context_.settings.range_separator};
  generation::RunGeneration(table_, state_.attributes, state_.field_templates, choices,
                            rules_.generation, target, &spec_run);
  // The database is only the sort's work space: once the objects are written, failing to keep
  // its records loses nothing of the designer's.
  const bool complete = !sorted || spec_run.SortAndWrite();
  spec_run.Close();
  ui_.RedrawTable();
  if (text_output)
    WriteTextOutput(text_lines);
  if (!complete) {
    TellDatabaseFailure(false, spec_run.LastError());
    return spec_run.records_written() > 0;
  }
  static constexpr const char* kCompleted[] = {
      "Формирование объектов спецификации в документе завершено",
      "Формирование объектов перечня элементов в документе завершено",
      "Формирование объектов ВП в документе завершено",
  };
  ui_.ShowMessage({kCompleted[static_cast<size_t>(document_kind_)], "", MessageButtons::kOk});
  return true;
}

// The text output lies beside the report, named after it: "board.bom" gives "board.txt". It is
// replaced only once written whole.
void ConverterWindow::WriteTextOutput(const std::string& text) {
  const std::string name = WithoutExtension(state_.report_path) + ".txt";
  const bool written = ReplaceFileContents(state_.report_folder + name, [&](std::FILE* file) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
  });
  if (!written)
    ShowWarning("Не удалось записать файл " + Cp1251FromUtf8Path(name));
}

}  // namespace zuro::converter
