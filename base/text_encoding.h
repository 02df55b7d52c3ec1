// Conversions between code page 1251, the encoding of every text the library holds, and UTF-8,
// the encoding of the stand-in host's documents and of the command line's terminal output.
#pragma once

#include <string>
#include <string_view>

namespace zuro {

std::string Cp1251ToUtf8(std::string_view text);
// Characters that code page 1251 lacks become "?"; `lost` (when given) tells whether any did.
std::string Utf8ToCp1251(std::string_view text, bool* lost = nullptr);

// Lower-case letters of code page 1251 text: Latin, Cyrillic and Ё; other bytes unchanged.
std::string LowerCp1251(std::string_view text);

}  // namespace zuro
