#include "templates/keyed_line_file.h"

#include <algorithm>
#include <cstdio>

namespace zuro::templates {

namespace {

// A line that begins with this byte ends every search: nothing after it is read.
constexpr char kEndOfKeys = '\x01';
constexpr char kComment = ';';

// The first word of a piece (after leading spaces) and the value after it, with one separating
// space removed. Tabs end the word but stay in the value.
bool MatchKey(std::string_view piece, std::string_view key, std::string& value) {
  const size_t start = piece.find_first_not_of(' ');
  if (start == std::string_view::npos)
    return false;
  const size_t end = std::min(piece.find_first_of(" \t", start), piece.size());
  if (piece.substr(start, end - start) != key)
    return false;
  std::string_view rest = piece.substr(end);
  if (!rest.empty() && rest.front() == ' ')
    rest.remove_prefix(1);
  value.assign(rest);
  return true;
}

}  // namespace

bool KeyedLineFile::OpenForReading(const std::string& path) {
  reading_ = OpenFile(path, "rb");
  return reading_ != nullptr;
}

// The files are text files with CR LF line ends, as Windows writes them in text mode; files made
// by hand elsewhere may have bare LF. Both read as one LF, so a CR never counts towards the length
// of a piece.
int KeyedLineFile::ReadChar() {
  const int c = std::fgetc(reading_.get());
  if (c != '\r')
    return c;
  const int next = std::fgetc(reading_.get());
  if (next == '\n')
    return '\n';
  if (next != EOF)
    std::ungetc(next, reading_.get());
  return c;
}

// Reads at most kPieceLength characters, stopping after a line end; the line end and a CR left at
// the end of the file are removed. False at the end of the file.
bool KeyedLineFile::ReadPiece(std::string& piece) {
  piece.clear();
  bool ended = false;
  while (!ended && piece.size() < kPieceLength) {
    const int c = ReadChar();
    if (c == EOF)
      break;
    ended = c == '\n';
    piece += static_cast<char>(c);
  }
  if (piece.empty())
    return false;
  if (piece.back() == '\n')
    piece.pop_back();
  if (!piece.empty() && piece.back() == '\r')
    piece.pop_back();
  return true;
}

// Keys are looked up from the start of the file every time, so the order of the calls does not
// matter and a key that appears twice always gives its first line. A line beginning with ";" is a
// comment, even if the key itself begins with ";".
std::optional<std::string> KeyedLineFile::GetValue(std::string_view key) {
  if (!reading_ || key.empty())
    return std::nullopt;
  std::rewind(reading_.get());
  std::string piece;
  std::string value;
  while (ReadPiece(piece)) {
    if (!piece.empty() && piece.front() == kEndOfKeys)
      return std::nullopt;
    if (!piece.empty() && piece.front() == kComment)
      continue;
    if (MatchKey(piece, key, value))
      return value;
  }
  return std::nullopt;
}

void KeyedLineFile::OpenForWriting(const std::string& path) {
  CloseWriting();
  writing_path_ = path;
}

void KeyedLineFile::PutLine(std::string_view text) {
  if (!writing_path_)
    return;
  written_.append(text);
  written_.append("\r\n");
}

// The lines are kept until the file is closed and then replace the old file in one step, so a
// write that fails half-way (a full disk, a file locked by another program) keeps the old file.
bool KeyedLineFile::CloseWriting() {
  if (!writing_path_)
    return true;
  const std::string path = *writing_path_;
  const std::string contents = std::move(written_);
  writing_path_.reset();
  written_.clear();
  return ReplaceFileContents(path, [&](std::FILE* file) {
    return std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  });
}

bool KeyedLineFile::Close() {
  reading_.reset();
  return CloseWriting();
}

}  // namespace zuro::templates
