// The table-file commands of every converter window: "Сохранить таблицу" (1023) writes the
// component table with all its edits, "Открыть таблицу" (1024) reads one back instead of a
// report.
#include "base/paths.h"
#include "base/text_encoding.h"
#include "converter/converter_window.h"
#include "table/table_file.h"

namespace zuro::converter {

namespace {

// A file name of at most this many characters is what a cancelled dialog leaves.
constexpr size_t kCancelledNameLength = 3;

}  // namespace

// The save dialog proposes the report's name with ".tbl" for its extension. The file is written
// beside itself and moved over the old one only when whole, so a full disk or a read-only folder
// never costs the designer a table saved before; they are told when it could not be written.
void ConverterWindow::SaveTable() {
  FileDialogRequest request;
  request.save = true;
  request.default_extension = "tbl";
  request.initial_name = WithoutExtension(state_.report_path);
  request.filter = ".tbl||";
  request.overwrite_prompt = true;
  request.hide_read_only = true;
  const std::optional<std::string> chosen = ui_.ChooseFile(request);
  const FolderAndName file = SplitFolder(chosen.value_or(""));
  if (file.name.size() <= kCancelledNameLength)
    return;
  if (!table::WriteTableFile(file.folder + file.name, table_))
    ShowWarning("Не удалось записать файл " + Cp1251FromUtf8Path(file.name));
}

// A file that cannot be read leaves the table as it was. Opening a table keeps ReportPath and the
// designator and part library columns of the last report read; the quantity columns saved with
// the table come back as ordinary columns.
void ConverterWindow::OpenTable() {
  FileDialogRequest request;
  request.default_extension = "tbl";
  request.initial_name = "*.tbl";
  request.filter = ".tbl||";
  request.hide_read_only = true;
  const std::optional<std::string> chosen = ui_.ChooseFile(request);
  const FolderAndName file = SplitFolder(chosen.value_or(""));
  if (file.name.size() <= kCancelledNameLength)
    return;
  const std::optional<TextFile> text = ReadTextFile(file.folder + file.name);
  if (!text) {
    ShowWarning("Не удалось открыть файл " + Cp1251FromUtf8Path(file.name));
    return;
  }
  const int lines = table::ReadTableFile(text->text, table_, state_.attributes.names);
  ui_.AttachMarkImages();
  ui_.RedrawTable();
  if (lines > 0)
    TakeOpenedTable(file.name);
  else
    UpdateCommands();
  if (text->lost_characters)
    TellLostCharacters(file.name);
}

// A table with its title line is a table to work on, even without a component row. The choices
// start again from the specification.
void ConverterWindow::TakeOpenedTable(const std::string& name) {
  for (const int id : kDocumentKindRadios)
    ui_.EnableControl(id, true);
  EnableTableCommands(true);
  document_kind_ = DocumentKind::kSpecification;
  ui_.CheckRadio(kDocumentKindRadios, static_cast<int>(document_kind_));
  ui_.EnableControl(kIdSortByElementsRadio, false);
  ui_.EnableControl(kIdSortByGostRadio, false);
  purchase_columns_ = false;
  ui_.SetCaption(CaptionWithFileName(WindowTitle(), name));
  ui_.ResizeWidth(1);
  state_.duplicate_flags.fill(false);
}

}  // namespace zuro::converter
