#include "cli/cli_support.h"

#include <utility>

#include "base/settings.h"
#include "converter/converter_window.h"
#include "table/component_rows.h"
#include "base/text_encoding.h"

namespace zuro::cli {

void Print(std::FILE* stream, std::string_view cp1251_text) {
  const std::string text = Cp1251ToUtf8(cp1251_text);
  std::fwrite(text.data(), 1, text.size(), stream);
}

void Complain(const std::string& utf8_problem) {
  const std::string line = "zuro-bom: " + utf8_problem + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

int BadUsage(const std::string& utf8_problem) {
  Complain(utf8_problem + "\n");
  Print(stderr, kUsage);
  return kExitUsage;
}

std::string ParsedOptions::Value(const std::string& option, const std::string& fallback) const {
  const auto found = values.find(option);
  return found == values.end() ? fallback : found->second;
}

std::optional<ParsedOptions> ParseOptions(const std::vector<std::string>& args,
                                          const OptionSpec& spec,
                                          std::string& problem) {
  ParsedOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool valued = spec.valued.contains(arg);
    const bool repeated = spec.repeated.contains(arg);
    if (valued || repeated) {
      if (i + 1 == args.size()) {
        problem = arg + " needs a value";
        return std::nullopt;
      }
      if (valued && options.values.contains(arg)) {
        problem = arg + " is given twice";
        return std::nullopt;
      }
      if (valued)
        options.values[arg] = args[++i];
      else
        options.repeated[arg].push_back(args[++i]);
    } else if (spec.flags.contains(arg)) {
      options.flags.insert(arg);
    } else if (arg.starts_with("-")) {
      problem = "unknown option " + arg;
      return std::nullopt;
    } else if (options.report.empty()) {
      options.report = arg;
    } else {
      problem = "more than one REPORT";
      return std::nullopt;
    }
  }
  if (options.report.empty()) {
    problem = "REPORT is missing";
    return std::nullopt;
  }
  return options;
}

bool EndsWithIgnoringCase(const std::string& text, std::string_view end) {
  std::string lower = text;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower.ends_with(end);
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
    folder += '/';
  return folder;
}

std::string LibraryFolder(const ParsedOptions& options) {
  std::string folder = WithSeparator(options.Value("--library", ZURO_DEFAULT_LIBRARY_DIR));
  for (const std::string& ignored : LoadSettings(folder).ignored)
    Print(stderr, std::string("zuro-bom: ") + kSettingsFileName + " " + ignored + "\n");
  return folder;
}

void TellReadingNote(const converter::ConverterWindow& window) {
  if (window.reading_note().empty())
    return;
  std::string line = "zuro-bom: " + window.reading_note() + ": строки";
  const table::GridModel& table = window.table();
  for (int row = 1, listed = 0; row < table.GetRowCount(); ++row) {
    if (table.GetItemImage(row, 0) == table::kUnmarked)
      line += (listed++ ? ", " : " ") + std::to_string(row);
  }
  Print(stderr, line + "\n");
}

std::string ConverterOf(const ParsedOptions& options) {
  if (options.values.contains("--converter"))
    return options.Value("--converter");
  if (EndsWithIgnoringCase(options.report, ".tbl"))
    return "pcad";
  constexpr std::pair<std::string_view, std::string_view> kExtensions[] = {{".bom", "pcad"},
                                                                           {".lst", "mentor"},
                                                                           {".csv", "protel"},
                                                                           {".txt", "altium"},
                                                                           {".htm", "allegro"}};
  for (const auto& [extension, converter] : kExtensions) {
    if (EndsWithIgnoringCase(options.report, extension))
      return std::string(converter);
  }
  return {};
}

int CommandOf(const std::string& converter) {
  constexpr std::pair<std::string_view, int> kCommands[] = {
      {"pcad", 1}, {"orcad", 2}, {"protel", 3}, {"altium", 4}, {"mentor", 5}, {"allegro", 6}};
  for (const auto& [name, command] : kCommands) {
    if (converter == name)
      return command;
  }
  return 0;
}

}  // namespace zuro::cli
