#include "standin/program_win32.h"

#include "base/paths.h"

namespace zuro::standin {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, length);
  return folder.substr(0, FileNameStart(folder));
}

// Under Wine a path from a Unix shell starts with "/": Wine's own call names its drive path.
std::wstring WindowsPath(const std::wstring& path) {
  using DosNameProc = wchar_t* (*)(const char*);
  const auto dos_name = reinterpret_cast<DosNameProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (dos_name && !path.empty() && path[0] == L'/') {
    char unix_path[4096];
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, unix_path, sizeof unix_path, nullptr,
                        nullptr);
    if (wchar_t* converted = dos_name(unix_path)) {
      std::wstring result = converted;
      HeapFree(GetProcessHeap(), 0, converted);
      return result;
    }
  }
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
  return length ? std::wstring(full, length) : path;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty())
    return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

void Print(std::FILE* stream, const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

void Complain(const std::string& program, const std::string& utf8) {
  std::fflush(stdout);
  Print(stderr, program + ": " + utf8 + "\n");
}

int Usage(const char* usage) {
  std::fputs(usage, stderr);
  return kBadUsage;
}

}  // namespace zuro::standin
