#include "base/settings.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "base/text_file.h"

namespace zuro {

namespace {

constexpr std::string_view kRangeSeparatorKey = "RangeSeparator";
constexpr std::string_view kNotFittedKey = "NotFitted";
constexpr std::string_view kLatinDesignatorsKey = "LatinDesignators";
constexpr std::string_view kKeys[] = {kRangeSeparatorKey, kNotFittedKey, kLatinDesignatorsKey};

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  TextLines reader(text);
  for (std::string_view line; reader.Next(line);)
    lines.push_back(WithoutLineEnd(line));
  return lines;
}

// A line that holds no setting and says so: blank, a comment, a section's heading.
bool IsQuietLine(std::string_view line) {
  return line.empty() || line[0] == ';' || line[0] == '#' ||
         (line.front() == '[' && line.back() == ']');
}

struct KeyAndValue {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyAndValue> SplitSetting(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos || Trimmed(line.substr(0, equals)).empty())
    return std::nullopt;
  return KeyAndValue{Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))};
}

// Empty when the value was taken; else why it was not.
std::string TakeValue(const KeyAndValue& setting, Settings& settings) {
  if (SameKey(setting.key, kRangeSeparatorKey)) {
    if (setting.value != "..." && setting.value != "-")
      return "RangeSeparator is \"...\" or \"-\"";
    settings.range_separator = setting.value == "-" ? RangeSeparator::kDash : RangeSeparator::kDots;
  } else if (SameKey(setting.key, kNotFittedKey)) {
    settings.not_fitted = ParseMarks(setting.value);
  } else if (SameKey(setting.key, kLatinDesignatorsKey)) {
    if (setting.value != "0" && setting.value != "1")
      return "LatinDesignators is 0 or 1";
    settings.latin_designators = setting.value == "1";
  } else {
    return "unknown key " + std::string(setting.key);
  }
  return {};
}

std::string ValueLine(std::string_view key, const Settings& settings) {
  std::string line(key);
  line += '=';
  if (key == kRangeSeparatorKey) {
    line += settings.range_separator == RangeSeparator::kDash ? "-" : "...";
  } else if (key == kNotFittedKey) {
    for (size_t i = 0; i < settings.not_fitted.size(); ++i)
      line += (i ? ";" : "") + settings.not_fitted[i];
  } else {
    line += settings.latin_designators ? "1" : "0";
  }
  return line;
}

// The known key a line sets, or empty.
std::string_view KnownKey(std::string_view line) {
  const std::optional<KeyAndValue> setting = SplitSetting(Trimmed(line));
  if (!setting)
    return {};
  for (const std::string_view key : kKeys) {
    if (SameKey(setting->key, key))
      return key;
  }
  return {};
}

// "... (dni)" or "... [dnp]": the mark in parentheses or brackets at the cell's end.
bool EndsEnclosed(std::string_view text, std::string_view mark) {
  if (text.size() < mark.size() + 2)
    return false;
  const char open = text[text.size() - mark.size() - 2];
  const char close = text.back();
  return ((open == '(' && close == ')') || (open == '[' && close == ']')) &&
         text.substr(text.size() - mark.size() - 1, mark.size()) == mark;
}

}  // namespace

std::vector<std::string> ParseMarks(std::string_view value) {
  std::vector<std::string> marks;
  for (size_t start = 0; start <= value.size();) {
    size_t end = value.find_first_of(";\r\n", start);
    if (end == std::string_view::npos)
      end = value.size();
    if (const std::string_view mark = Trimmed(value.substr(start, end - start)); !mark.empty())
      marks.emplace_back(mark);
    start = end + 1;
  }
  return marks;
}

SettingsReading ParseSettings(std::string_view text) {
  SettingsReading reading;
  int number = 0;
  for (const std::string_view raw : Lines(text)) {
    ++number;
    const std::string_view line = Trimmed(raw);
    if (IsQuietLine(line))
      continue;
    const std::optional<KeyAndValue> setting = SplitSetting(line);
    const std::string why = setting ? TakeValue(*setting, reading.settings) : "no KEY=VALUE";
    if (!why.empty())
      reading.ignored.push_back("line " + std::to_string(number) + ": " + why + ", ignored");
  }
  return reading;
}

std::string SettingsText(std::string_view old_text, const Settings& settings) {
  std::string text;
  std::vector<std::string_view> written;
  for (const std::string_view line : Lines(old_text)) {
    const std::string_view key = KnownKey(line);
    if (key.empty()) {
      text.append(line).append("\r\n");
    } else if (std::find(written.begin(), written.end(), key) == written.end()) {
      text += ValueLine(key, settings) + "\r\n";
      written.push_back(key);
    }
  }
  for (const std::string_view key : kKeys) {
    if (std::find(written.begin(), written.end(), key) == written.end())
      text += ValueLine(key, settings) + "\r\n";
  }
  return text;
}

SettingsReading LoadSettings(const std::string& folder) {
  const std::optional<TextFile> file = ReadTextFile(folder + kSettingsFileName);
  return file ? ParseSettings(file->text) : SettingsReading();
}

// A file that cannot be read is replaced only when there is none: its lines would be lost.
bool SaveSettings(const std::string& folder, const Settings& settings) {
  const std::string path = folder + kSettingsFileName;
  const std::optional<TextFile> file = ReadTextFile(path);
  if (!file && FileExists(path))
    return false;
  const std::string text = SettingsText(file ? file->text : "", settings);
  return ReplaceFileContents(path, [&](std::FILE* out) {
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
  });
}

NotFittedMarks::NotFittedMarks(const std::vector<std::string>& marks) {
  for (const std::string& mark : marks) {
    if (!mark.empty())
      marks_.push_back({mark, LowerCp1251(mark)});
  }
}

std::string_view NotFittedMarks::MarkOf(std::string_view cell) const {
  const std::string_view trimmed = Trimmed(cell);
  if (marks_.empty() || trimmed.empty())
    return {};
  const std::string text = LowerCp1251(trimmed);
  for (const Mark& mark : marks_) {
    const size_t size = mark.lower.size();
    if (text.size() < size)
      continue;
    const bool whole = text == mark.lower;
    const bool first_word = text.size() > size && text.starts_with(mark.lower) &&
                            (text[size] == ' ' || text[size] == '\t');
    if (whole || first_word || EndsEnclosed(text, mark.lower))
      return mark.written;
  }
  return {};
}

}  // namespace zuro
