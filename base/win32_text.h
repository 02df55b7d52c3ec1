// The library's strings at the Win32 call, whatever the system's own code page: texts are code
// page 1251, file paths UTF-8 (see file_system.h); the wide API takes both as UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace zuro {

std::wstring WideFromCp1251(std::string_view text);
std::string Cp1251FromWide(const wchar_t* text, int length = -1);

std::wstring WidePath(const std::string& utf8_path);
// A path the system gives (a module's file name, a file dialog's answer) as the library holds it.
std::string Utf8PathFromWide(const wchar_t* path, int length = -1);

}  // namespace zuro
