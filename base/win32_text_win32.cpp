#include <windows.h>

#include "base/win32_text.h"

namespace zuro {

namespace {

std::wstring WideFrom(UINT code_page, std::string_view text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
  std::wstring out(wide, L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), size, out.data(), wide);
  return out;
}

std::string NarrowFrom(UINT code_page, const wchar_t* text, int length) {
  if (!text)
    return {};
  if (length < 0)
    length = static_cast<int>(wcslen(text));
  if (length == 0)
    return {};
  const int bytes = WideCharToMultiByte(code_page, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(code_page, 0, text, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring WideFromCp1251(std::string_view text) {
  return WideFrom(1251, text);
}

std::string Cp1251FromWide(const wchar_t* text, int length) {
  return NarrowFrom(1251, text, length);
}

std::wstring WidePath(const std::string& utf8_path) {
  return WideFrom(CP_UTF8, utf8_path);
}

std::string Utf8PathFromWide(const wchar_t* path, int length) {
  return NarrowFrom(CP_UTF8, path, length);
}

}  // namespace zuro
