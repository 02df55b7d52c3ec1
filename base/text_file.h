// Text files as the library reads them: whole, in code page 1251. Reports and table files come
// from Windows tools that write code page 1251, and from newer tools and editors that write
// UTF-8; a UTF-8 file is recognised and converted on reading, so that every reader sees 1251.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zuro {

struct TextFile {
  std::string text;              // code page 1251
  bool was_utf8 = false;         // the file was UTF-8 and was converted
  bool lost_characters = false;  // characters that code page 1251 lacks became "?"
};

// Reads the whole file (a UTF-8 path); nothing when it cannot be read.
std::optional<TextFile> ReadTextFile(const std::string& path);
// The file's bytes as code page 1251 text (see IsUtf8Text).
TextFile DecodeText(std::string bytes);
// True for UTF-8 with a byte-order mark, and for text whose bytes above 0x7F all form valid
// UTF-8 sequences, at least one of them. Plain ASCII reads the same either way and counts as
// not UTF-8.
bool IsUtf8Text(std::string_view bytes);

// The line as TextLines::Next gives it, without its line end: a line feed, and a carriage return
// before it.
std::string_view WithoutLineEnd(std::string_view line);

// Reads a text line by line, each line with its line feed; a CR LF line end reads as LF, a CR
// elsewhere is kept. Lines are not cut at any length.
class TextLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}
  // False at the end of the text, when nothing is left to read.
  bool Read(std::string& line);
  // The line as a view into the text, line feed included (a CR LF end stays CR LF).
  bool Next(std::string_view& line);
  bool AtEnd() const { return position_ >= text_.size(); }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

}  // namespace zuro
