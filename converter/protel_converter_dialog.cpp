#include "converter/protel_converter_dialog.h"

#include <cstdio>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "readers/protel_family_report.h"

namespace zuro::converter {

namespace {

bool WriteText(const std::string& path, const std::string& text) {
  return ReplaceFileContents(path, [&](std::FILE* file) {
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      end = end == std::string::npos ? text.size() : end + 1;
      std::string line = text.substr(start, end - start);
      if (line.ends_with("\n"))
        line.insert(line.size() - 1, "\r");
      if (std::fwrite(line.data(), 1, line.size(), file) != line.size())
        return false;
      start = end;
    }
    return true;
  });
}

// The converted name differs from the report's in its extension alone, so the report bears it
// when its own extension is ".csv" in any case. The names are UTF-8; the letters compared are
// ASCII, so no byte of another character can match them.
bool BearsConvertedName(const std::string& report_name) {
  const size_t dot = report_name.find_last_of('.');
  if (dot == std::string::npos)
    return false;
  std::string extension = report_name.substr(dot);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return extension == ".csv";
}

}  // namespace

// The extension goes from the last "." of the name on, when there is one.
std::string ConvertedCsvName(const std::string& report_name) {
  const size_t dot = report_name.find_last_of('.');
  return report_name.substr(0, dot == std::string::npos ? report_name.size() : dot) + ".csv";
}

std::string ProtelConverterDialog::WindowTitle() const {
  switch (context_.command) {
    case LibraryCommand::kAltiumDesigner:
      return "Текстовый конвертер Altium Designer-ЗЕНТАР";
    case LibraryCommand::kAllegro:
      return "Текстовый конвертер Cadence Allegro-ЗЕНТАР";
    default:
      return "Текстовый конвертер Protel-ЗЕНТАР";
  }
}

FileDialogRequest ProtelConverterDialog::ReportDialog() const {
  FileDialogRequest request;
  switch (context_.command) {
    case LibraryCommand::kAltiumDesigner:
      request.filter = "*.csv;*.txt||";
      request.initial_name = "*csv;*.txt";
      request.default_extension = "csv;txt";
      break;
    case LibraryCommand::kAllegro:
      // Cadence Allegro writes its bill of materials as an HTML page or as comma-separated text.
      request.filter = "*.htm;*.csv;*.txt||";
      request.initial_name = "*.htm;*.csv;*.txt";
      request.default_extension = "htm";
      break;
    default:
      request.filter = "*.csv||";
      request.initial_name = "*.csv";
      request.default_extension = "csv";
      break;
  }
  return request;
}

// Altium Designer and Cadence Allegro reports are rewritten as quoted CSV, which is kept beside
// the report for the designer where no file of its name is; ReportPath then names the CSV, kept
// or not. A refused report leaves none.
readers::ReadResult ProtelConverterDialog::ReadReportText(const std::string& folder,
                                                          const std::string& name,
                                                          std::string& text) {
  const readers::ProtelFamilyKind kind = context_.command == LibraryCommand::kAltiumDesigner
                                             ? readers::ProtelFamilyKind::kAltiumDesigner
                                         : context_.command == LibraryCommand::kAllegro
                                             ? readers::ProtelFamilyKind::kCadenceAllegro
                                             : readers::ProtelFamilyKind::kProtel;
  readers::ProtelFamilyReading reading =
      readers::ReadProtelFamilyReport(text, kind, table(), state_.attributes);
  if (kind != readers::ProtelFamilyKind::kProtel &&
      reading.result == readers::ReadResult::kLoaded) {
    const std::string converted_name = ConvertedCsvName(name);
    KeepConvertedReport(folder, name, converted_name, reading.converted);
    state_.report_path = converted_name;
  }
  return reading.result;
}

// The CSV is kept for the designer only where it takes nothing from anybody: it is written whole
// beside the report, and only when no file of its name is there. A file of that name is the
// designer's own (a CSV saved from the same design, or the report itself when it is a CSV) or one
// kept by an earlier reading, and stays as it is; the table is read from the conversion in
// memory either way. A CSV that cannot be written costs the table nothing; the designer is told.
void ProtelConverterDialog::KeepConvertedReport(const std::string& folder,
                                                const std::string& report_name,
                                                const std::string& converted_name,
                                                const std::string& text) {
  if (BearsConvertedName(report_name) || ReadFileStamp(folder + converted_name))
    return;
  if (!WriteText(folder + converted_name, text))
    ShowWarning("Не удалось записать файл " + Cp1251FromUtf8Path(converted_name));
}

}  // namespace zuro::converter
