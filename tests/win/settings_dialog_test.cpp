// The settings dialog of zuro.dll as a designer uses it: "Файл" → "Параметры..." of the P-CAD
// window, before any report is read, shows what zuro.ini in the library's folder says; OK writes
// what the designer chose, Отмена nothing. A second thread plays the designer through window
// messages only.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/win/window_play.h"

namespace {

using namespace zuro::win_tests;

constexpr int kSettingsCommand = 32790;
constexpr int kRangeDots = 1101;
constexpr int kRangeDash = 1102;
constexpr int kMarks = 1103;
constexpr int kLatin = 1104;

// What the dialog showed each time it opened: the radio checked, the marks, the check box.
struct Shown {
  bool dots = false;
  std::wstring marks;
  bool latin = false;
};

struct SettingsSession {
  DWORD ui_thread = 0;
  bool last_file_item_is_settings = false;
  bool opened_twice = false;
  Shown first;
  Shown second;
};

HWND SettingsDialog(DWORD thread) {
  for (HWND dialog : FindThreadDialogs(thread).shown) {
    if (WindowText(dialog) == L"Параметры" && WaitsForInput(dialog))
      return dialog;
  }
  return nullptr;
}

Shown ReadDialog(HWND dialog) {
  wchar_t marks[256] = {};
  GetDlgItemTextW(dialog, kMarks, marks, 256);
  return {IsDlgButtonChecked(dialog, kRangeDots) == BST_CHECKED, marks,
          IsDlgButtonChecked(dialog, kLatin) == BST_CHECKED};
}

// Opens the dialog from the window's menu; null when it did not show.
HWND OpenSettings(HWND converter, DWORD thread) {
  PostMessageW(converter, WM_COMMAND, MAKEWPARAM(kSettingsCommand, 0), 0);
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = SettingsDialog(thread)) != nullptr; });
  return dialog;
}

DWORD WINAPI PlayTheDesigner(void* parameter) {
  auto& session = *static_cast<SettingsSession*>(parameter);
  HWND converter = nullptr;
  WaitFor([&] {
    converter = FindThreadDialogs(session.ui_thread).converter;
    return converter && WaitsForInput(converter);
  });
  HMENU file = converter ? GetSubMenu(GetMenu(converter), 0) : nullptr;
  const int last = file ? GetMenuItemCount(file) - 1 : -1;
  session.last_file_item_is_settings = file && GetMenuItemID(file, last) == kSettingsCommand &&
                                       (GetMenuState(file, last, MF_BYPOSITION) & MF_GRAYED) == 0;
  if (HWND dialog = converter ? OpenSettings(converter, session.ui_thread) : nullptr) {
    session.first = ReadDialog(dialog);
    SendDlgItemMessageW(dialog, kRangeDash, BM_CLICK, 0, 0);
    SetDlgItemTextW(dialog, kMarks, L"ZZQ; Не ставить");
    SendDlgItemMessageW(dialog, kLatin, BM_CLICK, 0, 0);
    zuro::standin::PressButton(dialog, IDOK);
    WaitFor([&] { return !IsWindow(dialog); });
    if (HWND again = OpenSettings(converter, session.ui_thread)) {
      session.opened_twice = true;
      session.second = ReadDialog(again);
      SetDlgItemTextW(again, kMarks, L"lost");
      zuro::standin::PressButton(again, IDCANCEL);
      WaitFor([&] { return !IsWindow(again); });
    }
  }
  CloseAllDialogs(session.ui_thread);
  return 0;
}

// zuro.dll is loaded from the tests' own folder, which is thus the library's.
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  const std::wstring program(path, length);
  return program.substr(0, program.find_last_of(L"\\/") + 1);
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(SettingsDialog, ShowsTheFileWritesItAtOkAndNothingAtCancel) {
  // The library's folder is the tests' own: the file is removed at the end, and the marks match
  // nothing another test reads.
  const std::wstring settings = ProgramFolder() + L"zuro.ini";
  DeleteFileW(settings.c_str());
  SettingsSession session;
  session.ui_thread = GetCurrentThreadId();
  const CommandRun run = RunLibraryCommand(1, PlayTheDesigner, &session);
  const std::string written = FileBytes(settings);
  DeleteFileW(settings.c_str());
  ASSERT_TRUE(run.started);
  ASSERT_TRUE(run.user_done);
  EXPECT_TRUE(session.last_file_item_is_settings);
  EXPECT_TRUE(session.first.dots);
  EXPECT_EQ(session.first.marks, L"");
  EXPECT_FALSE(session.first.latin);
  ASSERT_TRUE(session.opened_twice);
  EXPECT_FALSE(session.second.dots);
  EXPECT_EQ(session.second.marks, L"ZZQ;Не ставить");
  EXPECT_TRUE(session.second.latin);
  // Code page 1251 in the file; Отмена left it as OK wrote it.
  EXPECT_EQ(written,
            "RangeSeparator=-\r\nNotFitted=ZZQ;\xcd\xe5 \xf1\xf2\xe0\xe2\xe8\xf2\xfc\r\n"
            "LatinDesignators=1\r\n");
}

}  // namespace
