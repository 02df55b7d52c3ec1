// What the stand-in programs (the host and the PDM caller) share: the folder they run from, paths
// as Windows names them, their output in UTF-8 and their complaints, and the library's exports.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace zuro::standin {

// The exit status of a run the program could not make sense of.
inline constexpr int kBadUsage = 2;

using LibraryEntryProc = void(WINAPI*)(unsigned int);

// The program's own folder, with its separator.
std::wstring ProgramFolder();
// A path as Windows programs name it: Unix paths given on the command line become Wine's drive
// paths, relative paths become full ones.
std::wstring WindowsPath(const std::wstring& path);
std::string Utf8(const std::wstring& text);

// Writes UTF-8 text to the stream at once.
void Print(std::FILE* stream, const std::string& utf8);
// "program: what\n" on standard error, after everything already printed to standard output.
void Complain(const std::string& program, const std::string& utf8);
// The usage text on standard error; returns kBadUsage.
int Usage(const char* usage);

// An export of a loaded library as the caller's pointer type, or null.
template <typename Proc>
Proc LibraryExport(HMODULE library, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace zuro::standin
