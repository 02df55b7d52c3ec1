#include <windows.h>

#include "base/win32_text.h"

namespace zuro {

std::wstring WideFromCp1251(const std::string& text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(1251, 0, text.data(), size, nullptr, 0);
  std::wstring out(wide, L'\0');
  MultiByteToWideChar(1251, 0, text.data(), size, out.data(), wide);
  return out;
}

std::string Cp1251FromWide(const wchar_t* text, int length) {
  if (!text)
    return {};
  if (length < 0)
    length = static_cast<int>(wcslen(text));
  if (length == 0)
    return {};
  const int bytes = WideCharToMultiByte(1251, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(1251, 0, text, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace zuro
