// Code page 1251 <-> UTF-16 at the Win32 call, whatever the system's own code page.
#pragma once

#include <string>

namespace zuro {

std::wstring WideFromCp1251(const std::string& text);
std::string Cp1251FromWide(const wchar_t* text, int length = -1);

}  // namespace zuro
