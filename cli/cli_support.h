// What the subcommands of zuro-bom share: exit statuses, output in UTF-8, option parsing and the
// converter a report belongs to.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::converter {
class ConverterWindow;
}

namespace zuro::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitStopped = 1;
inline constexpr int kExitUsage = 2;

// The usage text, printed by --help and after bad usage.
extern const char kUsage[];

// The arguments arrive in UTF-8 and paths stay so, as the library holds them; a text for the
// library (the TEXT of --set) becomes code page 1251 where it is taken.

// Texts of the library (tables, objects, the usage) are code page 1251; the terminal gets UTF-8.
void Print(std::FILE* stream, std::string_view cp1251_text);
// zuro-bom's own complaint on standard error, "zuro-bom: PROBLEM": its words are ASCII and the
// paths in it are given as they came, so it is UTF-8 already.
void Complain(const std::string& utf8_problem);
// Prints the problem (UTF-8) and the usage; returns kExitUsage.
int BadUsage(const std::string& utf8_problem);

// The options a subcommand takes: those with a value, those that may repeat (each with a value),
// and bare flags.
struct OptionSpec {
  std::set<std::string> valued;
  std::set<std::string> repeated;
  std::set<std::string> flags;
};

struct ParsedOptions {
  std::string report;  // the one argument that is no option, as given (UTF-8)
  std::map<std::string, std::string> values;
  std::map<std::string, std::vector<std::string>> repeated;
  std::set<std::string> flags;

  std::string Value(const std::string& option, const std::string& fallback = "") const;
  bool Has(const std::string& option) const {
    return values.contains(option) || flags.contains(option);
  }
};

// Options may come in any order after the subcommand; each valued one takes the next argument.
std::optional<ParsedOptions> ParseOptions(const std::vector<std::string>& args,
                                          const OptionSpec& spec,
                                          std::string& problem);

bool EndsWithIgnoringCase(const std::string& text, std::string_view end);
std::string WithSeparator(std::string folder);
// The library folder of --library (or the one shipped with the build), with its separator. Lines
// of its settings file that were ignored are said once, on standard error.
std::string LibraryFolder(const ParsedOptions& options);
// What the settings did to the report the window has just read: the window's note and the rows
// it left unticked (counted as in the component table), on standard error; nothing when they did
// nothing.
void TellReadingNote(const converter::ConverterWindow& window);

// The converter of a report: from --converter, else from its extension (a table file opens in
// the P-CAD window). The library command of the converter, 0 when it is none.
std::string ConverterOf(const ParsedOptions& options);
int CommandOf(const std::string& converter);

// The title a document made from the report (a UTF-8 path) is shown with, in code page 1251.
std::string DocumentTitle(const std::string& report);

// The subcommands.
int Table(const std::vector<std::string>& args);
int Convert(const std::vector<std::string>& args);
int Show(const std::vector<std::string>& args);
int Pdm(const std::vector<std::string>& args);

}  // namespace zuro::cli
