// Playing the user of a dialog of the templates layout (the field templates dialog 1002 and the
// PDM attribute templates dialog 1007): its controls as a user's clicks reach them, through window
// messages only, and a fixture that shows the dialog from zuro.dll's resources on the test's
// thread while a second thread plays the user, with a temporary library folder for its files.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "base/win32_text.h"
#include "templates/templates_ui.h"
#include "tests/win/window_play.h"

namespace zuro::win_tests {

using templates::kIdAddAttribute;
using templates::kIdAvailableAttributes;
using templates::kIdChosenAttributes;
using templates::kIdRemoveAllAttributes;
using templates::kIdRemoveAttribute;
using templates::kIdTemplateField;
using templates::kIdTemplatesCancel;
using templates::kIdTemplatesHelp;
using templates::kIdTemplatesOk;

// The controls of the shown dialog, as a user's clicks reach them.
class TemplateListsScreen {
 public:
  explicit TemplateListsScreen(HWND dialog) : dialog_(dialog) {}

  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  LONG Style(int id) const { return GetWindowLongW(Control(id), GWL_STYLE); }
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  std::wstring Text(int id) const { return WindowText(Control(id)); }

  // The user picks a field from the combo box's list.
  void ChooseField(int index) const {
    SendMessageW(Control(kIdTemplateField), CB_SETCURSEL, index, 0);
    Notify(kIdTemplateField, CBN_SELCHANGE);
  }
  int SelectedField() const {
    return static_cast<int>(SendMessageW(Control(kIdTemplateField), CB_GETCURSEL, 0, 0));
  }
  std::vector<std::wstring> Fields() const {
    return Texts(kIdTemplateField, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
  }
  // The user types into the combo box's edit part.
  void TypeField(const std::wstring& text) const {
    HWND edit = FindWindowExW(Control(kIdTemplateField), nullptr, L"Edit", nullptr);
    for (const wchar_t ch : text)
      SendMessageW(edit, WM_CHAR, ch, 1);
  }

  // The user clicks item `index` of a list box.
  void SelectItem(int list, int index) const {
    SendMessageW(Control(list), LB_SETCURSEL, index, 0);
    Notify(list, LBN_SELCHANGE);
  }
  int Selection(int list) const {
    return static_cast<int>(SendMessageW(Control(list), LB_GETCURSEL, 0, 0));
  }
  std::vector<std::wstring> Items(int list) const {
    return Texts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
  }
  std::vector<int> Data(int list) const {
    std::vector<int> data;
    const int count = static_cast<int>(SendMessageW(Control(list), LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
      data.push_back(static_cast<int>(SendMessageW(Control(list), LB_GETITEMDATA, index, 0)));
    return data;
  }

  // Whether ">", "<" and "<<" are enabled.
  std::vector<bool> AddRemoveEnabled() const {
    return {Enabled(kIdAddAttribute), Enabled(kIdRemoveAttribute), Enabled(kIdRemoveAllAttributes)};
  }

  // A click reaches only an enabled button; false when the button is disabled.
  bool Click(int id) const {
    if (!Enabled(id))
      return false;
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    return true;
  }

 private:
  void Notify(int id, int code) const {
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(id)));
  }
  std::vector<std::wstring> Texts(int id,
                                  UINT count_message,
                                  UINT length_message,
                                  UINT text_message) const {
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(Control(id), count_message, 0, 0));
    for (int index = 0; index < count; ++index) {
      const LRESULT length = SendMessageW(Control(id), length_message, index, 0);
      std::wstring text(length > 0 ? length + 1 : 1, L'\0');
      SendMessageW(Control(id), text_message, index, reinterpret_cast<LPARAM>(text.data()));
      texts.push_back(text.c_str());
    }
    return texts;
  }

  HWND dialog_;
};

// What a dialog of this layout shows as it opens.
struct OpeningLook {
  std::wstring caption;
  LONG combo_style = 0;
  LONG available_style = 0;
  LONG chosen_style = 0;
  std::vector<std::wstring> fields;
  int field_at_start = -2;
  std::vector<std::wstring> available;
  std::vector<int> available_data;
  std::vector<std::wstring> chosen;
  std::vector<bool> buttons;  // ">", "<", "<<" enabled
  std::vector<std::wstring> button_texts;
};

inline OpeningLook LookAtOpening(HWND dialog) {
  const TemplateListsScreen screen(dialog);
  OpeningLook look;
  look.caption = WindowText(dialog);
  look.combo_style = screen.Style(kIdTemplateField);
  look.available_style = screen.Style(kIdAvailableAttributes);
  look.chosen_style = screen.Style(kIdChosenAttributes);
  look.fields = screen.Fields();
  look.field_at_start = screen.SelectedField();
  look.available = screen.Items(kIdAvailableAttributes);
  look.available_data = screen.Data(kIdAvailableAttributes);
  look.chosen = screen.Items(kIdChosenAttributes);
  look.buttons = screen.AddRemoveEnabled();
  for (const int id : {kIdAddAttribute, kIdRemoveAttribute, kIdRemoveAllAttributes, kIdTemplatesOk,
                       kIdTemplatesCancel, kIdTemplatesHelp})
    look.button_texts.push_back(screen.Text(id));
  return look;
}

// What every dialog of this layout shows as it opens: its caption, a combo box of the kind given
// (CBS_DROPDOWN or CBS_DROPDOWNLIST) and lists, none sorted, the lists notifying, the first entry
// picked, the buttons' texts, and nothing to add or remove yet.
inline void ExpectTemplateListsOpening(const OpeningLook& look, LONG combo_kind) {
  EXPECT_EQ(look.caption, L"Шаблоны обозначений");
  EXPECT_EQ(look.combo_style & 3, combo_kind);
  EXPECT_EQ(look.combo_style & CBS_SORT, 0);
  for (const LONG style : {look.available_style, look.chosen_style}) {
    EXPECT_NE(style & LBS_NOTIFY, 0);
    EXPECT_EQ(style & LBS_SORT, 0);
  }
  EXPECT_EQ(look.field_at_start, 0);
  EXPECT_EQ(look.buttons, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(look.button_texts,
            (std::vector<std::wstring>{L">", L"<", L"<<", L"OK", L"Отмена", L"Справка"}));
}

// What the user's thread did, checked by the test afterwards.
struct PlayedSession {
  DWORD ui_thread = 0;
  std::string failed_step;  // the first step that did not come about
  bool Step(const char* name, bool done) {
    if (!done && failed_step.empty())
      failed_step = name;
    return done;
  }
};

// The dialog "Шаблоны обозначений" of the session's thread once it waits for the user; null, and
// the step failed, when none comes.
inline HWND WaitForTemplateListsDialog(PlayedSession& session) {
  HWND dialog = nullptr;
  session.Step("dialog shown", WaitFor([&] {
                 dialog = nullptr;
                 for (HWND shown : FindThreadDialogs(session.ui_thread).shown) {
                   if (WindowText(shown) == L"Шаблоны обозначений")
                     dialog = shown;
                 }
                 return dialog && WaitsForInput(dialog);
               }));
  return dialog;
}

// A user's thread: waits for the dialog of the session's thread, notes what it shows as it opens
// (the session's `opening`), then plays `Play` on it.
template <typename Session, void (*Play)(Session&, const TemplateListsScreen&)>
DWORD WINAPI PlayTemplateListsDialog(void* parameter) {
  Session& session = *static_cast<Session*>(parameter);
  if (HWND dialog = WaitForTemplateListsDialog(session)) {
    session.opening = LookAtOpening(dialog);
    Play(session, TemplateListsScreen(dialog));
  }
  return 0;
}

class TemplateListsDialogWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    // The library folder is named outside code page 1251: the dialogs read and write their
    // files there all the same.
    folder_ = std::filesystem::path(temp) /
              (L"zuro Müller 日本 " + std::wstring(test.begin(), test.end()) + L"_" +
               std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    module_ = LoadLibraryW(L"zuro.dll");
    ASSERT_NE(module_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (module_)
      FreeLibrary(module_);
    std::filesystem::remove_all(folder_);
  }

  void Write(const wchar_t* name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const wchar_t* name) {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The library folder (with its separator) and the help file, as the library holds them.
  std::string LibraryFolder() const {
    return zuro::Utf8PathFromWide((folder_.wstring() + L"\\").c_str());
  }
  std::string HelpPath() const { return zuro::Utf8PathFromWide((folder_ / L"zuro.chm").c_str()); }

  // Shows the dialog on this thread through `show`, as the window owning it does, while `user`
  // plays the user on another thread. The dialog's result.
  INT_PTR Run(const std::function<INT_PTR()>& show,
              LPTHREAD_START_ROUTINE user,
              PlayedSession& session) {
    session.ui_thread = GetCurrentThreadId();
    const Watchdog watchdog = TestWatchdog();
    INT_PTR result = 0;
    user_done_ = PlayAlong(user, &session, [&] { result = show(); });
    return result;
  }

  std::filesystem::path folder_;
  HMODULE module_ = nullptr;
  bool user_done_ = false;
};

}  // namespace zuro::win_tests
