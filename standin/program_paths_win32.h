// What the stand-in programs (the host and the PDM caller) share about their command lines: the
// folder they run from, paths as Windows names them, and UTF-8 for their output.
#pragma once

#include <windows.h>

#include <string>

namespace zuro::standin {

// The program's own folder, with its separator.
std::wstring ProgramFolder();
// A path as Windows programs name it: Unix paths given on the command line become Wine's drive
// paths, relative paths become full ones.
std::wstring WindowsPath(const std::wstring& path);
std::string Utf8(const std::wstring& text);

}  // namespace zuro::standin
