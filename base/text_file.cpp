#include "base/text_file.h"

#include "base/file_system.h"
#include "base/text_encoding.h"

namespace zuro {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the well-formed UTF-8 sequence that starts at text[i] with a byte above 0x7F,
// or 0 when none starts there: no stray continuation bytes, no overlong forms, no surrogates,
// nothing beyond U+10FFFF.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0)
      low = 0xA0;
    if (lead == 0xED)
      high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0)
      low = 0x90;
    if (lead == 0xF4)
      high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size())
    return 0;
  if (byte(i + 1) < low || byte(i + 1) > high)
    return 0;
  for (size_t k = 2; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80)
      return 0;
  }
  return length;
}

}  // namespace

bool IsUtf8Text(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark))
    return true;
  bool multi_byte = false;
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0)
      return false;
    multi_byte = true;
    i += length;
  }
  return multi_byte;
}

TextFile DecodeText(std::string bytes) {
  TextFile file;
  if (!IsUtf8Text(bytes)) {
    file.text = std::move(bytes);
    return file;
  }
  std::string_view utf8(bytes);
  if (utf8.starts_with(kByteOrderMark))
    utf8.remove_prefix(kByteOrderMark.size());
  file.was_utf8 = true;
  file.text = Utf8ToCp1251(utf8, &file.lost_characters);
  return file;
}

std::optional<TextFile> ReadTextFile(const std::string& path) {
  FileHandle file = OpenFile(path, "rb");
  if (!file)
    return std::nullopt;
  // Read at once into a text of the file's size, so that a report of a hundred megabytes is
  // neither copied piece by piece nor held twice while its text grows; what a file that grew
  // meanwhile has more is read after it. A size beyond any report's (a folder opened as a file
  // may tell the largest offset there is) is not believed: the file is then read piece by piece.
  constexpr long kLargestPresized = 1L << 30;
  std::string bytes;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    if (size > 0 && size <= kLargestPresized) {
      bytes.resize(static_cast<size_t>(size));
      bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    }
  }
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
    bytes.append(buffer, n);
  if (std::ferror(file.get()))
    return std::nullopt;
  return DecodeText(std::move(bytes));
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
  }
  return line;
}

bool TextLines::Next(std::string_view& line) {
  if (position_ >= text_.size())
    return false;
  size_t end = text_.find('\n', position_);
  end = end == std::string_view::npos ? text_.size() : end + 1;
  line = text_.substr(position_, end - position_);
  position_ = end;
  return true;
}

bool TextLines::Read(std::string& line) {
  std::string_view view;
  if (!Next(view)) {
    line.clear();
    return false;
  }
  line.assign(view);
  if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n')
    line.erase(line.size() - 2, 1);
  return true;
}

}  // namespace zuro
