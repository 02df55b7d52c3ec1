#include "pdm/line_pieces.h"

#include "base/text_file.h"

namespace zuro::pdm {

// A line of exactly `piece_length` characters is one piece: its line end belongs to it and does
// not read as an empty line of its own, which the PDM would take for the end of the object list.
std::vector<std::string> LinePieces(std::string_view text, size_t piece_length) {
  std::vector<std::string> pieces;
  if (piece_length == 0)
    return pieces;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    const size_t line_end = end == std::string_view::npos ? text.size() : end;
    std::string_view line = text.substr(position, line_end - position);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    do {
      pieces.emplace_back(line.substr(0, piece_length));
      line.remove_prefix(pieces.back().size());
    } while (!line.empty());
    position = line_end + 1;
  }
  return pieces;
}

std::optional<std::vector<std::string>> ReadLinePieces(const std::string& path,
                                                       size_t piece_length) {
  const std::optional<TextFile> file = ReadTextFile(path);
  if (!file)
    return std::nullopt;
  return LinePieces(file->text, piece_length);
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (;;) {
    const size_t at = text.find(separator);
    pieces.push_back(text.substr(0, at));
    if (at == std::string_view::npos)
      return pieces;
    text.remove_prefix(at + 1);
  }
}

std::string_view SecondPiece(std::string_view text, char separator) {
  const size_t first = text.find(separator);
  if (first == std::string_view::npos)
    return {};
  text.remove_prefix(first + 1);
  return text.substr(0, text.find(separator));
}

}  // namespace zuro::pdm
