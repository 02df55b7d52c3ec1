// The P-CAD converter window of zuro.dll, used as a person uses it: the host's command opens it,
// "Открыть..." and the file dialog load a report, clicks tick and untick rows, a double click and
// typing edit cells. A second thread plays the user through window messages only and looks at
// what the window shows: its caption and menu, the table as the grid copies it to the clipboard,
// and the check boxes as the grid draws them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "standin/zapi5.h"
#include "tests/win/window_play.h"

namespace {

using namespace zuro::win_tests;

constexpr int kGrid = 1015;
constexpr int kOpenReport = 1012;
constexpr int kSelectAllMarks = 1001;
constexpr int kClearAllMarks = 1002;
// The rows whose check boxes the test looks at; all of them fit in the window.
constexpr int kFirstLookedAtRow = 1;
constexpr int kLastLookedAtRow = 6;
// Mark image: 16 × 15 pixels, drawn 3 pixels into the cell and centred in its height.
constexpr int kMarkLeft = 3;
constexpr int kMarkHeight = 15;

const wchar_t kStartCaption[] = L"Текстовый конвертер P-CAD-ЗЕНТАР";
const wchar_t kLoadedCaption[] = L"Текстовый конвертер P-CAD-ЗЕНТАР:board";

bool MenuItemGreyed(HMENU menu, int position) {
  return (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0;
}

bool MenuBarItemGreyed(HWND window, int position) {
  return MenuItemGreyed(GetMenu(window), position);
}

// Where the grid's cells lie, read from outside through its scroll bars: the vertical range is
// the height of the rows below the header and the page what the window shows of it, so the
// header's height, the row height and the mark column's width follow. All rows are of the
// default height.
struct GridGeometry {
  int header_height = 0;
  int row_height = 0;
  int mark_column_width = 0;

  int RowTop(int row) const { return header_height + (row - 1) * row_height; }
  POINT MarkColumnPoint(int row) const {
    return {mark_column_width / 2, RowTop(row) + row_height / 2};
  }
  POINT FirstColumnPoint(int row) const {
    return {mark_column_width + 4, RowTop(row) + row_height / 2};
  }
};

bool ReadGeometry(HWND grid, int data_rows, GridGeometry* geometry) {
  RECT client;
  GetClientRect(grid, &client);
  SCROLLINFO vertical{};
  vertical.cbSize = sizeof(vertical);
  vertical.fMask = SIF_ALL;
  SCROLLINFO horizontal = vertical;
  if (data_rows <= 0 || !GetScrollInfo(grid, SB_VERT, &vertical) ||
      !GetScrollInfo(grid, SB_HORZ, &horizontal) || vertical.nPos != 0 || horizontal.nPos != 0)
    return false;
  geometry->header_height = client.bottom - static_cast<int>(vertical.nPage);
  geometry->row_height = (vertical.nMax + 1) / data_rows;
  geometry->mark_column_width = client.right - static_cast<int>(horizontal.nPage);
  return (vertical.nMax + 1) % data_rows == 0 && geometry->row_height > kMarkHeight &&
         geometry->header_height == geometry->row_height && geometry->mark_column_width > 16;
}

// The mark a row's check box shows: 1 when a tick crosses the inside of the box, 0 when the
// inside is clear, -1 when what is drawn there is neither.
int ShownMark(HWND grid, const GridGeometry& geometry, int row) {
  const GridPicture picture(grid);
  const int image_top = geometry.RowTop(row) + (geometry.row_height - 1 - kMarkHeight) / 2;
  int dark = 0;
  for (int y = image_top + 3; y <= image_top + 11; ++y)
    for (int x = kMarkLeft + 3; x <= kMarkLeft + 12; ++x)
      dark += picture.IsDark(x, y) ? 1 : 0;
  return dark >= 4 ? 1 : dark == 0 ? 0 : -1;
}

void Click(HWND grid, POINT point) {
  PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void DoubleClick(HWND grid, POINT point) {
  Click(grid, point);
  PostMessageW(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void Type(HWND window, const std::wstring& text) {
  for (const wchar_t ch : text)
    PostMessageW(window, WM_CHAR, ch, 1);
}

int WindowWidth(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  return frame.right - frame.left;
}

bool CoversClientArea(HWND window, HWND child) {
  RECT client{}, area{};
  GetClientRect(window, &client);
  GetWindowRect(child, &area);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&area), 2);
  return EqualRect(&client, &area) != FALSE;
}

HWND CellEditor(HWND grid) {
  return FindWindowExW(grid, nullptr, L"Edit", nullptr);
}

// What the user saw, filled in by the user's thread and checked by the test afterwards.
struct Session {
  DWORD ui_thread = 0;
  std::wstring report;
  std::string failed_step;  // the first step that did not come about

  std::wstring start_caption;
  int start_width = 0;
  int tooltip_count = 0;
  std::wstring open_button_tooltip;
  bool settings_greyed_at_start = false;
  bool create_greyed_at_start = false;
  std::wstring loaded_caption;
  bool settings_greyed_loaded = true;
  bool create_greyed_loaded = true;
  int loaded_width = 0;
  bool table_covers_window = false;
  std::wstring loaded_table;
  std::vector<int> loaded_marks;
  std::vector<int> marks_after_unticking;
  std::vector<int> marks_after_clearing;
  std::vector<int> marks_after_editing;
  bool editor_survived_double_click = false;
  bool menu_command_committed_edit = false;
  std::wstring edited_table;
};

class UserPlay {
 public:
  explicit UserPlay(Session& session) : session_(session) {}

  // Runs every step while they come about; the window is closed in any case, so that the host's
  // call returns.
  void Run() {
    OpenTheReport() && LookAtTheTable() && TickAndUntick() && EditByDoubleClick() &&
        EditByTyping() && EditUntilAMenuCommand();
    if (session_.failed_step.empty())
      session_.edited_table = CopiedTable(grid_);
    CloseAllDialogs(session_.ui_thread);
  }

 private:
  bool Step(const char* name, bool done) {
    if (!done && session_.failed_step.empty())
      session_.failed_step = name;
    return done;
  }

  bool OpenTheReport() {
    if (!Step("converter window shown", WaitFor([&] {
                converter_ = FindThreadDialogs(session_.ui_thread).converter;
                return converter_ && WaitsForInput(converter_);
              })))
      return false;
    grid_ = GetDlgItem(converter_, kGrid);
    session_.start_caption = WindowText(converter_);
    session_.start_width = WindowWidth(converter_);
    LookAtTooltips();
    session_.settings_greyed_at_start = MenuBarItemGreyed(converter_, 1);
    session_.create_greyed_at_start = MenuBarItemGreyed(converter_, 2);

    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kOpenReport, 0), 0);
    HWND file_dialog = nullptr;
    if (!Step("file dialog shown", WaitFor([&] {
                file_dialog = FindThreadDialogs(session_.ui_thread).file_dialog;
                return file_dialog && WaitsForInput(file_dialog);
              })))
      return false;
    AnswerFileDialog(file_dialog, session_.report);

    const bool loaded = WaitFor([&] { return WindowText(converter_) == kLoadedCaption; });
    session_.loaded_caption = WindowText(converter_);
    session_.settings_greyed_loaded = MenuBarItemGreyed(converter_, 1);
    session_.create_greyed_loaded = MenuBarItemGreyed(converter_, 2);
    session_.loaded_width = WindowWidth(converter_);
    session_.table_covers_window = CoversClientArea(converter_, grid_);
    return Step("report loaded", loaded && WaitsForInput(converter_));
  }

  // The grid lays its table out when it next gets to it; the scroll bars tell when it has.
  bool LookAtTheTable() {
    session_.loaded_table = CopiedTable(grid_);
    const int data_rows = static_cast<int>(Split(session_.loaded_table, L"\r\n").size()) - 1;
    if (!Step("table laid out",
              WaitFor([&] { return ReadGeometry(grid_, data_rows, &geometry_); })))
      return false;
    session_.loaded_marks = Marks();
    return true;
  }

  // A click on a row's check box unticks it, a click on its first cell ticks it again; the
  // menu's "Очистить все" and "Выбрать все" act on every row.
  bool TickAndUntick() {
    Click(grid_, geometry_.MarkColumnPoint(3));
    if (!Step("row 3 unticked", WaitFor([&] { return ShownMark(grid_, geometry_, 3) == 0; })))
      return false;
    session_.marks_after_unticking = Marks();
    Click(grid_, geometry_.FirstColumnPoint(3));
    if (!Step("row 3 ticked again", WaitFor([&] { return ShownMark(grid_, geometry_, 3) == 1; })))
      return false;
    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kClearAllMarks, 0), 0);
    if (!Step("all rows unticked", WaitFor([&] { return ShownMark(grid_, geometry_, 1) == 0; })))
      return false;
    session_.marks_after_clearing = Marks();
    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kSelectAllMarks, 0), 0);
    return Step("all rows ticked", WaitFor([&] { return ShownMark(grid_, geometry_, 1) == 1; }));
  }

  // The tooltip control of the window carries the tooltips of its four buttons.
  void LookAtTooltips() {
    HWND tooltips = FindWindowW(TOOLTIPS_CLASSW, nullptr);
    while (tooltips && GetWindow(tooltips, GW_OWNER) != converter_)
      tooltips = FindWindowExW(nullptr, tooltips, TOOLTIPS_CLASSW, nullptr);
    if (!tooltips)
      return;
    session_.tooltip_count = static_cast<int>(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0));
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = converter_;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(converter_, kOpenReport));
    tool.lpszText = text;
    SendMessageW(tooltips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    session_.open_button_tooltip = text;
  }

  // A double click on row 2's first cell opens its editor, which must survive the click the
  // grid reports after it; Tab commits the text and moves to the next cell.
  bool EditByDoubleClick() {
    DoubleClick(grid_, geometry_.FirstColumnPoint(2));
    HWND editor = nullptr;
    if (!Step("editor opened by a double click",
              WaitFor([&] { return (editor = CellEditor(grid_)) != nullptr; })))
      return false;
    WaitsForInput(converter_);
    Sleep(300);
    WaitsForInput(converter_);
    session_.editor_survived_double_click = CellEditor(grid_) == editor;
    if (!Step("editor kept open", session_.editor_survived_double_click))
      return false;
    Type(editor, L"12");
    PostMessageW(editor, WM_KEYDOWN, VK_TAB, 1);
    if (!Step("edit committed by Tab", WaitFor([&] { return CellEditor(grid_) == nullptr; })))
      return false;
    WaitsForInput(converter_);
    session_.marks_after_editing = Marks();
    return true;
  }

  // Typing on the focus cell opens its editor with the typed letter; Enter commits.
  bool EditByTyping() {
    Type(grid_, L"Ё");
    HWND editor = nullptr;
    if (!Step("editor opened by typing",
              WaitFor([&] { return (editor = CellEditor(grid_)) != nullptr; })))
      return false;
    Type(editor, L"лка №5");
    PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    return Step("edit committed by Enter", WaitFor([&] { return CellEditor(grid_) == nullptr; }));
  }

  // A menu command leaves the focus in the editor; the window commits the edit before it runs
  // the command, so the command sees what was typed.
  bool EditUntilAMenuCommand() {
    PostMessageW(grid_, WM_KEYDOWN, VK_RIGHT, 1);
    Type(grid_, L"5");
    HWND editor = nullptr;
    if (!Step("editor opened on the next cell",
              WaitFor([&] { return (editor = CellEditor(grid_)) != nullptr; })))
      return false;
    Type(editor, L" В");
    WaitsForInput(converter_);
    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kSelectAllMarks, 0), 0);
    session_.menu_command_committed_edit =
        WaitFor([&] { return CellEditor(grid_) == nullptr; }, 3000);
    return Step("edit committed by a menu command", session_.menu_command_committed_edit);
  }

  std::vector<int> Marks() const {
    std::vector<int> marks;
    for (int row = kFirstLookedAtRow; row <= kLastLookedAtRow; ++row)
      marks.push_back(ShownMark(grid_, geometry_, row));
    return marks;
  }

  Session& session_;
  HWND converter_ = nullptr;
  HWND grid_ = nullptr;
  GridGeometry geometry_;
};

DWORD WINAPI PlayTheUser(void* parameter) {
  UserPlay(*static_cast<Session*>(parameter)).Run();
  return 0;
}

const std::wstring& SampleReport() {
  static const std::wstring path = FullPath(L"" ZURO_SOURCE_DIR "/samples/board.bom");
  return path;
}

TEST(ConverterWindow, OpensAReportThenTicksAndEditsRowsAsTheUserClicksAndTypes) {
  ZsimOpenGraphicDocument();
  Session session;
  session.ui_thread = GetCurrentThreadId();
  session.report = SampleReport();
  const CommandRun run = RunLibraryCommand(1, PlayTheUser, &session);
  ASSERT_TRUE(run.started);
  ASSERT_TRUE(run.user_done);
  EXPECT_EQ(session.failed_step, "");
  // An empty window offers only "Файл" and "Справка"; the report brings the other commands.
  EXPECT_EQ(session.start_caption, kStartCaption);
  EXPECT_EQ(session.tooltip_count, 4);
  EXPECT_EQ(session.open_button_tooltip, L" Открыть файл *.ВОМ ");
  EXPECT_TRUE(session.settings_greyed_at_start);
  EXPECT_TRUE(session.create_greyed_at_start);
  EXPECT_EQ(session.loaded_caption, kLoadedCaption);
  EXPECT_FALSE(session.settings_greyed_loaded);
  EXPECT_FALSE(session.create_greyed_loaded);
  // One pixel wider, and the table laid out again over the whole client area.
  EXPECT_EQ(session.loaded_width, session.start_width + 1);
  EXPECT_TRUE(session.table_covers_window);
  // The report's folder becomes the current folder.
  EXPECT_EQ(run.folder_after, session.report.substr(0, session.report.find_last_of(L'\\')));

  // 30 components, each with 16 report attributes and the two quantity columns.
  const std::vector<std::wstring> loaded = TableLines(session.loaded_table);
  ASSERT_EQ(loaded.size(), 30u);
  for (const std::wstring& line : loaded)
    EXPECT_EQ(Split(line, L"\t").size(), 18u) << line;
  EXPECT_EQ(Split(loaded[0], L"\t")[4], L"Плата индикации АБВГ.468332.002");
  EXPECT_EQ(Split(loaded[1], L"\t")[1], L"C1...C10");

  const std::vector<int> all_ticked(6, 1);
  EXPECT_EQ(session.loaded_marks, all_ticked);
  EXPECT_EQ(session.marks_after_unticking, (std::vector<int>{1, 1, 0, 1, 1, 1}));
  EXPECT_EQ(session.marks_after_clearing, std::vector<int>(6, 0));
  // The double click on the first cell reported two clicks, which flipped row 2's mark twice.
  EXPECT_EQ(session.marks_after_editing, all_ticked);
  EXPECT_TRUE(session.editor_survived_double_click);
  EXPECT_TRUE(session.menu_command_committed_edit);

  const std::vector<std::wstring> edited = TableLines(session.edited_table);
  ASSERT_EQ(edited.size(), 30u);
  const std::vector<std::wstring> row2 = Split(edited[1], L"\t");
  EXPECT_EQ(row2[0], L"12");
  EXPECT_EQ(row2[1], L"Ёлка №5");
  EXPECT_EQ(row2[2], L"5 В");
  EXPECT_EQ(row2[3], L"CAP_0805");
  for (size_t line = 0; line < loaded.size(); ++line) {
    if (line != 1) {
      EXPECT_EQ(edited[line], loaded[line]);
    }
  }

  // The host's input is taken away while the window is open and given back when it closes.
  EXPECT_NE(run.log.find("ZentarObject 14 method 0\nZentarObject 14 method 1\n"), std::string::npos)
      << run.log;
  EXPECT_EQ(ZsimHostInput(), 1);
}

// With a model document active the window asks for the report before it first shows, and only
// the specification can be made from it.
struct ModelSession {
  DWORD ui_thread = 0;
  std::wstring report;
  bool file_dialog_shown = false;
  bool window_hidden_meanwhile = false;
  bool window_shown_loaded = false;
  std::vector<bool> greying_at_start;
  std::vector<bool> greying_loaded;
  std::wstring loaded_caption;
};

// Bar positions 1 ("Настройка") and 2 ("Создать"), then "Перечень элементов", "Спецификация" and
// "Ведомость покупных изделий" inside "Создать" → "Объекты спецификации".
std::vector<bool> CreateCommandGreying(HWND window) {
  HMENU bar = GetMenu(window);
  HMENU objects = GetSubMenu(GetSubMenu(bar, 2), 0);
  return {MenuItemGreyed(bar, 1), MenuItemGreyed(bar, 2), MenuItemGreyed(objects, 0),
          MenuItemGreyed(objects, 1), MenuItemGreyed(objects, 2)};
}

DWORD WINAPI ChooseTheReportAtOnce(void* parameter) {
  auto& session = *static_cast<ModelSession*>(parameter);
  HWND file_dialog = nullptr;
  session.file_dialog_shown = WaitFor([&] {
    file_dialog = FindThreadDialogs(session.ui_thread).file_dialog;
    return file_dialog && WaitsForInput(file_dialog);
  });
  if (session.file_dialog_shown) {
    HWND converter = GetWindow(file_dialog, GW_OWNER);
    session.window_hidden_meanwhile = converter && !IsWindowVisible(converter);
    session.greying_at_start = CreateCommandGreying(converter);
    AnswerFileDialog(file_dialog, session.report);
    session.window_shown_loaded = WaitFor([&] {
      return IsWindowVisible(converter) && WindowText(converter) == kLoadedCaption &&
             WaitsForInput(converter);
    });
    session.loaded_caption = WindowText(converter);
    session.greying_loaded = CreateCommandGreying(converter);
  }
  CloseAllDialogs(session.ui_thread);
  return 0;
}

// Runs in a process of its own (CTest "win.converter_window_model"): the stand-in host prefers a
// graphic document, which other tests of this program open and nothing closes.
TEST(ConverterWindowWithModelDocument, AsksForTheReportAtOnceAndOffersOnlyTheSpecification) {
  ASSERT_TRUE(ZsimOpenModelDocument(FullPath(L"" ZURO_TEST_DATA "/model_items.txt").c_str()));
  ModelSession session;
  session.ui_thread = GetCurrentThreadId();
  session.report = SampleReport();
  const CommandRun run = RunLibraryCommand(1, ChooseTheReportAtOnce, &session);
  ASSERT_TRUE(run.started);
  ASSERT_TRUE(run.user_done);
  ASSERT_TRUE(session.file_dialog_shown);
  EXPECT_TRUE(session.window_hidden_meanwhile);
  EXPECT_EQ(session.greying_at_start, (std::vector<bool>{true, true, true, false, true}));
  EXPECT_TRUE(session.window_shown_loaded);
  EXPECT_EQ(session.loaded_caption, kLoadedCaption);
  EXPECT_EQ(session.greying_loaded, (std::vector<bool>{false, false, true, false, true}));
}

}  // namespace
