// The stand-in host's document file: UTF-8 JSON, {"format": "zentar-sim/1", "objects": [...]}.
#include <charconv>
#include <functional>
#include <limits>

#include <nlohmann/json.hpp>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "standin/sim_host.h"

namespace zuro::standin {

namespace {

using nlohmann::json;
constexpr const char* kFormat = "zentar-sim/1";

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

// A real number as the JSON library writes it.
void AppendJson(std::string& text, double value) {
  text += json(value).dump();
}

// A code page 1251 text as the JSON library writes the same text in UTF-8: a quote, a backslash
// and the control characters escaped (\uXXXX in lower-case hex where there is no short form),
// every other character as it is.
void AppendJsonText(std::string& text, std::string_view cp1251) {
  static constexpr char kHex[] = "0123456789abcdef";
  text += '"';
  size_t plain = 0;  // the start of the bytes not yet written
  const auto flush = [&](size_t end) {
    AppendCp1251AsUtf8(text, cp1251.substr(plain, end - plain));
    plain = end + 1;
  };
  for (size_t i = 0; i < cp1251.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp1251[i]);
    if (c >= 0x20 && c != '"' && c != '\\')
      continue;
    flush(i);
    switch (c) {
      case '"':
        text += "\\\"";
        break;
      case '\\':
        text += "\\\\";
        break;
      case '\b':
        text += "\\b";
        break;
      case '\f':
        text += "\\f";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\t':
        text += "\\t";
        break;
      default:
        text += "\\u00";
        text += kHex[c >> 4];
        text += kHex[c & 0xF];
    }
  }
  flush(cp1251.size());
  text += '"';
}

// An integer as the JSON library writes it.
void AppendInteger(std::string& text, int64_t value) {
  char digits[24];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// One object as json's dump(1) writes it two levels down (its keys in their sorted order), without
// a tree of its own: the host's documents hold hundreds of thousands of objects.
void AppendObject(std::string& text, const SimObject& object) {
  text += "  {\n   \"columns\": [";
  for (size_t i = 0; i < object.columns.size(); ++i) {
    const SimColumnValue& value = object.columns[i];
    text += i == 0 ? "\n" : ",\n";
    text += "    {\n     \"column\": ";
    AppendInteger(text, value.column);
    text += ",\n     \"type\": ";
    AppendInteger(text, value.type);
    text += ",\n     \"value\": ";
    if (value.type == 8)
      AppendJsonText(text, value.text);
    else if (value.type == 3)
      AppendInteger(text, static_cast<int64_t>(value.number));
    else
      AppendJson(text, value.number);
    text += "\n    }";
  }
  text += object.columns.empty() ? "],\n" : "\n   ],\n";
  text += "   \"library\": ";
  AppendJsonText(text, object.library);
  text += ",\n   \"link\": ";
  if (object.link)
    AppendJsonText(text, *object.link);
  else
    text += "null";
  text += ",\n   \"section\": ";
  AppendInteger(text, object.section);
  text += ",\n   \"style\": ";
  AppendInteger(text, object.style);
  text += "\n  }";
}

}  // namespace

// The text json's dump(1) gives for {"format": ..., "objects": [...]}, made object by object and
// handed to `take` whenever it passes `piece` bytes, and at the end; `take` empties the text it is
// given, and false from it stops the writing.
bool WriteDocumentJson(const SimDocument& document,
                       size_t piece,
                       const std::function<bool(std::string&)>& take) {
  std::string text = "{\n \"format\": \"" + std::string(kFormat) + "\",\n \"objects\": ";
  if (document.objects.empty()) {
    text += "[]\n}\n";
    return take(text);
  }
  text += "[\n";
  for (size_t i = 0; i < document.objects.size(); ++i) {
    AppendObject(text, document.objects[i]);
    text += i + 1 < document.objects.size() ? ",\n" : "\n";
    if (text.size() >= piece && !take(text))
      return false;
  }
  text += " ]\n}\n";
  return take(text);
}

std::string DocumentToJson(const SimDocument& document) {
  std::string whole;
  WriteDocumentJson(document, std::numeric_limits<size_t>::max(), [&whole](std::string& text) {
    whole += text;
    text.clear();
    return true;
  });
  return whole;
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

// Written in pieces: a board's document is never held twice, as objects and as text.
bool SaveDocument(const SimDocument& document, const std::string& path) {
  return ReplaceFileContents(path, [&](std::FILE* file) {
    return WriteDocumentJson(document, 256 * 1024, [file](std::string& text) {
      const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
      text.clear();
      return written;
    });
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
