// The PDM files (bom_veldor.ini, bom.ini, res.txt) are read line by line into buffers of a fixed
// size: a line longer than the buffer reads as several lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::pdm {

// The lines of `text`, each cut into pieces of at most `piece_length` characters, every piece one
// line; line ends (LF or CR LF) are removed.
std::vector<std::string> LinePieces(std::string_view text, size_t piece_length);

// The line pieces of a text file (see ReadTextFile); nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadLinePieces(const std::string& path,
                                                       size_t piece_length);

// A text cut at `separator`, empty pieces kept: "a;;b;" gives "a", "", "b", "".
std::vector<std::string_view> SplitAt(std::string_view text, char separator);

// The text between the first and the second `separator` (to the end when there is no second),
// empty when there is no first.
std::string_view SecondPiece(std::string_view text, char separator);

}  // namespace zuro::pdm
