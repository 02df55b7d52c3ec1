// Playing the user of the library's windows in the Windows tests: running the library's call while
// a thread of the test plays the user, under a watchdog, and reading the window's table as the
// grid copies it and paints it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "standin/program_win32.h"
#include "standin/user_play_win32.h"
#include "standin/zapi5.h"

namespace zuro::win_tests {

using zuro::standin::AnswerFileDialog;
using zuro::standin::CloseAllDialogs;
using zuro::standin::FindThreadDialogs;
using zuro::standin::WaitFor;
using zuro::standin::WaitsForInput;
using zuro::standin::Watchdog;
using zuro::standin::WindowText;

inline constexpr WPARAM kGridSelectAll = 57642;
inline constexpr WPARAM kGridCopy = 57634;
// How long the user's thread may take to end once the library's call has returned (ms).
inline constexpr DWORD kUserEndTimeout = 20000;

inline std::wstring ClipboardText() {
  std::wstring text;
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 2000))
    return text;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(block))) {
      text = chars;
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

// The whole table below its header, as the grid's own copy command puts it on the clipboard.
inline std::wstring CopiedTable(HWND grid) {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  SendMessageW(grid, WM_COMMAND, kGridSelectAll, 0);
  SendMessageW(grid, WM_COMMAND, kGridCopy, 0);
  return ClipboardText();
}

inline std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::wstring::npos;
       start = end + separator.size())
    pieces.push_back(text.substr(start, end - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

// The grid drawn into a bitmap of its client area, as it paints itself.
class GridPicture {
 public:
  explicit GridPicture(HWND grid) {
    RECT client;
    GetClientRect(grid, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    pixels_.assign(pixels, pixels + static_cast<size_t>(width_) * height_);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }

  // The number of pixels of one colour (0xRRGGBB).
  int Count(uint32_t colour) const {
    return static_cast<int>(std::count_if(pixels_.begin(), pixels_.end(), [&](uint32_t pixel) {
      return (pixel & 0xFFFFFF) == colour;
    }));
  }

  bool IsDark(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
      return false;
    const uint32_t pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    return (pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 150;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// A window that waits for nobody must not hang the run: the program ends after a minute.
inline Watchdog TestWatchdog() {
  return Watchdog(zuro::standin::kRunPatience, "window test", "timed out");
}

// Runs `call` on this thread, as the host or the dialog's owner does, while `user` plays the user
// on a thread of its own; true when that thread ended in time after the call.
template <typename Call>
bool PlayAlong(LPTHREAD_START_ROUTINE user, void* session, Call call) {
  HANDLE player = CreateThread(nullptr, 0, user, session, 0, nullptr);
  call();
  const bool ended = WaitForSingleObject(player, kUserEndTimeout) == WAIT_OBJECT_0;
  CloseHandle(player);
  return ended;
}

inline std::string CallLog() {
  std::string log(ZsimCallLog(nullptr, 0), '\0');
  ZsimCallLog(log.data(), static_cast<int>(log.size()));
  log.pop_back();
  return log;
}

inline std::wstring FullPath(const wchar_t* path) {
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(path, MAX_PATH * 4, full, nullptr);
  return std::wstring(full, length);
}

inline std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH * 4];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, folder);
  return std::wstring(folder, length);
}

inline std::vector<std::wstring> TableLines(const std::wstring& table) {
  std::vector<std::wstring> lines = Split(table, L"\r\n");
  if (!lines.empty() && lines.back().empty())
    lines.pop_back();
  return lines;
}

struct CommandRun {
  bool started = false;    // the library was loaded and its entry found
  bool user_done = false;  // the user's thread ended in time
  std::wstring folder_after;
  std::string log;  // the host calls the command made
};

// Runs a library command of a freshly loaded zuro.dll on this thread, as the host does, while
// `user` plays the user on another thread. The current folder is restored afterwards.
inline CommandRun RunLibraryCommand(unsigned command, LPTHREAD_START_ROUTINE user, void* session) {
  const Watchdog watchdog = TestWatchdog();
  CommandRun run;
  HMODULE library = LoadLibraryW(L"zuro.dll");
  const auto entry =
      zuro::standin::LibraryExport<zuro::standin::LibraryEntryProc>(library, "LIBRARYENTRY");
  run.started = library && entry;
  if (run.started) {
    const std::string log_before = CallLog();
    const std::wstring folder_before = CurrentFolder();
    run.user_done = PlayAlong(user, session, [&] { entry(command); });
    run.folder_after = CurrentFolder();
    SetCurrentDirectoryW(folder_before.c_str());
    run.log = CallLog().substr(log_before.size());
  }
  if (library)
    FreeLibrary(library);
  return run;
}

// Holds what the user sees on the screen for a screenshot when ZURO_SCREENSHOT_HOLD_MS is set.
inline void HoldForScreenshot() {
  wchar_t value[16] = {};
  if (GetEnvironmentVariableW(L"ZURO_SCREENSHOT_HOLD_MS", value, 16) > 0)
    Sleep(static_cast<DWORD>(_wtoi(value)));
}

}  // namespace zuro::win_tests
