// Conversions between code page 1251, the encoding of every text the library holds, and UTF-8,
// the encoding of file paths, of the stand-in host's documents and of the command line's terminal
// output.
#pragma once

#include <string>
#include <string_view>

namespace zuro {

std::string Cp1251ToUtf8(std::string_view text);
// The same, appended to `out`.
void AppendCp1251AsUtf8(std::string& out, std::string_view text);
// Characters that code page 1251 lacks become "?"; `lost` (when given) tells whether any did.
std::string Utf8ToCp1251(std::string_view text, bool* lost = nullptr);

// File paths are UTF-8 (see file_system.h), so that a folder named outside code page 1251 opens.
// These two are where a path and the library's texts meet. A path that comes as code page 1251
// text (the PDM's buffer, a text of the host) becomes a path:
std::string Utf8PathFromCp1251(std::string_view cp1251_path);
// and a path shown to the designer (captions, messages) or handed to the host becomes a text, a
// character that code page 1251 lacks showing as "?".
std::string Cp1251FromUtf8Path(std::string_view utf8_path);

// Lower-case letters of code page 1251 text: Latin, Cyrillic and Ё; other bytes unchanged.
std::string LowerCp1251(std::string_view text);
// The lower case of an ASCII letter; every other byte unchanged. Tags and names of the CAD
// systems' reports compare so, their Cyrillic texts as they are.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace zuro
