#include "base/html_help_win32.h"

#include "base/win32_text.h"

namespace zuro {

namespace {

constexpr UINT kHelpDisplayTopic = 0;  // HH_DISPLAY_TOPIC

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The viewer is looked for once, when help is first asked for.
HtmlHelpProc HtmlHelpEntry() {
  static const HtmlHelpProc entry = [] {
    HMODULE viewer = LoadLibraryW(L"hhctrl.ocx");
    return viewer ? reinterpret_cast<HtmlHelpProc>(
                        reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpW")))
                  : nullptr;
  }();
  return entry;
}

}  // namespace

void ShowHtmlHelp(HWND owner, const std::string& help_path) {
  if (const HtmlHelpProc html_help = HtmlHelpEntry())
    html_help(owner, WidePath(help_path).c_str(), kHelpDisplayTopic, 0);
}

}  // namespace zuro
