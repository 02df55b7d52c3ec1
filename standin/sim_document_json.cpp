// The stand-in host's document file: UTF-8 JSON, {"format": "zentar-sim/1", "objects": [...]}.
#include <nlohmann/json.hpp>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "standin/sim_host.h"

namespace zuro::standin {

namespace {

using nlohmann::json;
constexpr const char* kFormat = "zentar-sim/1";

json ColumnToJson(const SimColumnValue& value) {
  json column = {{"column", value.column}, {"type", value.type}};
  if (value.type == 8)
    column["value"] = Cp1251ToUtf8(value.text);
  else if (value.type == 3)
    column["value"] = static_cast<int64_t>(value.number);
  else
    column["value"] = value.number;
  return column;
}

SimColumnValue ColumnFromJson(const json& column) {
  SimColumnValue value;
  value.column = column.at("column").get<int32_t>();
  value.type = column.at("type").get<int16_t>();
  const json& stored = column.at("value");
  if (stored.is_string())
    value.text = Utf8ToCp1251(stored.get<std::string>());
  else
    value.number = stored.get<double>();
  return value;
}

// True when the bytes are well-formed UTF-8 (plain ASCII included).
bool IsValidUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const int extra = lead < 0x80           ? 0
                      : (lead >> 5) == 0x6  ? 1
                      : (lead >> 4) == 0xE  ? 2
                      : (lead >> 3) == 0x1E ? 3
                                            : -1;
    if (extra < 0 || i + extra > text.size())
      return false;
    for (int k = 0; k < extra; ++k) {
      if ((static_cast<unsigned char>(text[i++]) & 0xC0) != 0x80)
        return false;
    }
  }
  return true;
}

}  // namespace

json ObjectToJson(const SimObject& object) {
  json columns = json::array();
  for (const SimColumnValue& value : object.columns)
    columns.push_back(ColumnToJson(value));
  return {{"library", Cp1251ToUtf8(object.library)},
          {"style", object.style},
          {"section", object.section},
          {"columns", std::move(columns)},
          {"link", object.link ? json(Cp1251ToUtf8(*object.link)) : json(nullptr)}};
}

// The text json's dump(1) gives for {"format": ..., "objects": [...]}, made one object at a time:
// a tree of a whole board's objects would take several times the file's size, and the host's
// documents hold hundreds of thousands of objects. An object's own dump is indented by the two
// levels it stands at; line feeds in its texts are escaped, so every line feed is a line's end.
std::string DocumentToJson(const SimDocument& document) {
  std::string text = "{\n \"format\": \"" + std::string(kFormat) + "\",\n \"objects\": ";
  if (document.objects.empty())
    return text + "[]\n}\n";
  text += "[\n";
  for (size_t i = 0; i < document.objects.size(); ++i) {
    const std::string object = ObjectToJson(document.objects[i]).dump(1);
    text += "  ";
    for (const char c : object) {
      text += c;
      if (c == '\n')
        text += "  ";
    }
    text += i + 1 < document.objects.size() ? ",\n" : "\n";
  }
  return text + " ]\n}\n";
}

bool DocumentFromJson(const std::string& text, SimDocument& document) {
  const json root = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!root.is_object() || root.value("format", "") != kFormat || !root.contains("objects"))
    return false;
  try {
    std::vector<SimObject> objects;
    for (const json& stored : root.at("objects")) {
      SimObject object;
      object.library = Utf8ToCp1251(stored.at("library").get<std::string>());
      object.style = stored.at("style").get<int32_t>();
      object.section = stored.at("section").get<int32_t>();
      for (const json& column : stored.at("columns"))
        object.columns.push_back(ColumnFromJson(column));
      if (stored.contains("link") && stored.at("link").is_string())
        object.link = Utf8ToCp1251(stored.at("link").get<std::string>());
      objects.push_back(std::move(object));
    }
    document.objects = std::move(objects);
    return true;
  } catch (const json::exception&) {
    return false;
  }
}

bool SaveDocument(const SimDocument& document, const std::string& path) {
  const std::string text = DocumentToJson(document);
  return ReplaceFileContents(path, [&](std::FILE* file) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
  });
}

bool OpenDocument(const std::string& path, SimDocument& document) {
  FileHandle file = OpenFile(path, "rb");
  if (!file)
    return false;
  std::string text;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    text.append(buffer, n);
  return DocumentFromJson(text, document);
}

std::vector<std::string> ReadItemLines(const std::string& path) {
  std::vector<std::string> items;
  FileHandle file = OpenFile(path, "rb");
  if (!file)
    return items;
  std::string line;
  const auto flush = [&] {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    // Item files are usually written in UTF-8; a code page 1251 file is taken as it is.
    items.push_back(IsValidUtf8(line) ? Utf8ToCp1251(line) : line);
    line.clear();
  };
  int c;
  while ((c = std::fgetc(file.get())) != EOF) {
    if (c == '\n')
      flush();
    else
      line += static_cast<char>(c);
  }
  if (!line.empty())
    flush();
  return items;
}

}  // namespace zuro::standin
