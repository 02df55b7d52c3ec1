// The designer's settings beyond the documents' own rules, kept in "zuro.ini" in the library
// folder: lines KEY=VALUE, code page 1251 (a UTF-8 file is read as the readers read one), keys
// compared without regard to letter case. Every default gives the documents exactly as they are
// without the file; a missing file, a missing key, an unknown key or a line that makes no sense
// leaves the default.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zuro {

inline constexpr char kSettingsFileName[] = "zuro.ini";

// How the documents write a run of designators: "R1...R5", or "R1-R5".
enum class RangeSeparator { kDots, kDash };

struct Settings {
  RangeSeparator range_separator = RangeSeparator::kDots;
  // Marks of parts not fitted ("DNP", "Не устанавливать"), code page 1251, trimmed; none: off.
  std::vector<std::string> not_fitted;
  // Cyrillic letters that look like Latin ones are read as Latin in designators.
  bool latin_designators = false;

  bool operator==(const Settings&) const = default;
};

struct SettingsReading {
  Settings settings;
  // One line for each line that was ignored ("line 3: unknown key Foo"), for the designer.
  std::vector<std::string> ignored;
};

// The marks of a NotFitted value: its pieces between ";" (or line breaks), trimmed, empty ones
// dropped.
std::vector<std::string> ParseMarks(std::string_view value);
// The settings of a file's text (code page 1251).
SettingsReading ParseSettings(std::string_view text);
// The file's text with the settings written into it: each key's line replaced where it stands
// (later lines of the same key dropped), keys the file lacks appended, every other line kept.
std::string SettingsText(std::string_view old_text, const Settings& settings);

// The settings of `folder` (UTF-8, with its separator); every default when there is no file.
SettingsReading LoadSettings(const std::string& folder);
// Writes the settings into the folder's file through a temporary file moved into place; false
// when it could not be written, and the old file stays whole.
bool SaveSettings(const std::string& folder, const Settings& settings);

// Tells the cells of parts not fitted: a cell, trimmed and compared without regard to letter case,
// is one of the marks, or begins with a mark and a blank ("DNP 10k"), or ends with a mark in
// parentheses or brackets ("0,1 мкФ (DNI)", "10k [DNP]"). A mark inside a longer word ("DNPX")
// does not count.
class NotFittedMarks {
 public:
  explicit NotFittedMarks(const std::vector<std::string>& marks);
  bool empty() const { return marks_.empty(); }
  // The mark (as the settings write it) that the cell carries, or empty.
  std::string_view MarkOf(std::string_view cell) const;

 private:
  struct Mark {
    std::string written;
    std::string lower;
  };
  std::vector<Mark> marks_;
};

}  // namespace zuro
