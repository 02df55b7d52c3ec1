// The converter windows of commands 2, 3, 4 and 6, and the table files and replace-text dialog of
// every window, used as a person uses them: the host's command opens the window, "Открыть..."
// reads the sample report of its kind, "Сохранить таблицу" and "Открыть таблицу" store the table
// and bring it back, and the replace-text dialog finds, highlights and replaces through its
// buttons. A second thread plays the user through window messages only.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/window_play.h"

namespace {

using namespace zuro::win_tests;

constexpr int kGrid = 1015;
constexpr int kOpenReport = 1012;
constexpr int kReplace = 1004;
constexpr int kSaveTable = 1023;
constexpr int kOpenTable = 1024;
// The replace-text dialog's controls.
constexpr int kColumns = 1013;
constexpr int kFind = 1019;
constexpr int kReplacement = 1020;
constexpr int kReplaceOne = 1004;
constexpr int kReplaceAll = 1005;
// RGB(173, 253, 250) as a pixel of a 32-bit bitmap.
constexpr uint32_t kMatchPixel = 0xADFDFA;

// A folder of the test's own under the temporary folder, holding copies of the samples: the
// windows write beside the reports they read.
std::wstring MakeWorkFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"zuro kinds " + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::wstring CopySample(const std::wstring& folder, const std::wstring& name) {
  const std::wstring source = FullPath((L"" ZURO_SOURCE_DIR L"/samples/" + name).c_str());
  const std::wstring target = folder + name;
  CopyFileW(source.c_str(), target.c_str(), FALSE);
  return target;
}

struct KindSession {
  DWORD ui_thread = 0;
  std::wstring report;
  std::wstring table_file;
  std::string failed_step;

  std::wstring start_caption;
  std::wstring loaded_caption;
  std::wstring loaded_table;
  std::wstring table_caption;
  std::wstring reopened_table;
  bool table_file_written = false;
};

class KindPlay {
 public:
  explicit KindPlay(KindSession& session) : session_(session) {}

  void Run() {
    OpenTheReport() && SaveAndReopenTheTable();
    CloseAllDialogs(session_.ui_thread);
  }

 private:
  bool Step(const char* name, bool done) {
    if (!done && session_.failed_step.empty())
      session_.failed_step = name;
    return done;
  }

  // Answers the next file dialog of the thread with `path`.
  bool AnswerNextFileDialog(const char* step, const std::wstring& path) {
    HWND file_dialog = nullptr;
    if (!Step(step, WaitFor([&] {
                file_dialog = FindThreadDialogs(session_.ui_thread).file_dialog;
                return file_dialog && WaitsForInput(file_dialog);
              })))
      return false;
    AnswerFileDialog(file_dialog, path);
    return true;
  }

  bool OpenTheReport() {
    if (!Step("converter window shown", WaitFor([&] {
                converter_ = FindThreadDialogs(session_.ui_thread).converter;
                return converter_ && WaitsForInput(converter_);
              })))
      return false;
    grid_ = GetDlgItem(converter_, kGrid);
    session_.start_caption = WindowText(converter_);
    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kOpenReport, 0), 0);
    if (!AnswerNextFileDialog("report dialog shown", session_.report))
      return false;
    const bool loaded = WaitFor([&] { return WindowText(converter_) != session_.start_caption; });
    session_.loaded_caption = WindowText(converter_);
    if (!Step("report loaded", loaded && WaitsForInput(converter_)))
      return false;
    session_.loaded_table = CopiedTable(grid_);
    return true;
  }

  bool SaveAndReopenTheTable() {
    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kSaveTable, 0), 0);
    if (!AnswerNextFileDialog("save dialog shown", session_.table_file))
      return false;
    session_.table_file_written = WaitFor(
        [&] { return GetFileAttributesW(session_.table_file.c_str()) != INVALID_FILE_ATTRIBUTES; });
    if (!Step("table file written", session_.table_file_written && WaitsForInput(converter_)))
      return false;
    PostMessageW(converter_, WM_COMMAND, MAKEWPARAM(kOpenTable, 0), 0);
    if (!AnswerNextFileDialog("open table dialog shown", session_.table_file))
      return false;
    const bool opened = WaitFor([&] { return WindowText(converter_) != session_.loaded_caption; });
    session_.table_caption = WindowText(converter_);
    if (!Step("table opened", opened && WaitsForInput(converter_)))
      return false;
    session_.reopened_table = CopiedTable(grid_);
    return true;
  }

  KindSession& session_;
  HWND converter_ = nullptr;
  HWND grid_ = nullptr;
};

DWORD WINAPI PlayKind(void* parameter) {
  KindPlay(*static_cast<KindSession*>(parameter)).Run();
  return 0;
}

struct Kind {
  unsigned command;
  const wchar_t* sample;
  const wchar_t* title;
  const wchar_t* loaded_name;  // the name the caption shows after reading
};

class ConverterKinds : public ::testing::TestWithParam<Kind> {};

TEST_P(ConverterKinds, ReadTheirSampleAndSaveAndReopenTheTable) {
  ZsimOpenGraphicDocument();
  const Kind& kind = GetParam();
  const std::wstring folder = MakeWorkFolder(std::to_wstring(kind.command));
  KindSession session;
  session.ui_thread = GetCurrentThreadId();
  session.report = CopySample(folder, kind.sample);
  session.table_file = folder + L"таблица платы.tbl";
  DeleteFileW(session.table_file.c_str());
  const CommandRun run = RunLibraryCommand(kind.command, PlayKind, &session);
  ASSERT_TRUE(run.started && run.user_done);
  EXPECT_EQ(session.failed_step, "");
  EXPECT_EQ(session.start_caption, kind.title);
  EXPECT_EQ(session.loaded_caption, std::wstring(kind.title) + L":" + kind.loaded_name);
  // 30 components, each row ending with the two quantity columns.
  const std::vector<std::wstring> loaded = TableLines(session.loaded_table);
  EXPECT_EQ(loaded.size(), 30u);
  EXPECT_NE(session.loaded_table.find(L"C1...C10"), std::wstring::npos);
  EXPECT_EQ(session.table_caption, std::wstring(kind.title) + L":таблица платы");
  EXPECT_EQ(session.reopened_table, session.loaded_table);
}

INSTANTIATE_TEST_SUITE_P(
    Commands,
    ConverterKinds,
    ::testing::Values(Kind{2, L"board_orcad.bom", L"Текстовый конвертер OrCAD-ЗЕНТАР",
                           L"board_orcad"},
                      Kind{3, L"board.csv", L"Текстовый конвертер Protel-ЗЕНТАР", L"board"},
                      Kind{4, L"board_altium.txt", L"Текстовый конвертер Altium Designer-ЗЕНТАР",
                           L"board_altium"},
                      Kind{6, L"board_allegro.htm", L"Текстовый конвертер Cadence Allegro-ЗЕНТАР",
                           L"board_allegro"}));

// The P-CAD window on a report in a folder named outside code page 1251: the report loads, its
// name shows in the caption with "?" for what 1251 lacks, and a table file saved there opens
// again.
TEST(ConverterWindowPaths, AReportAndATableFileInAFolderNamedOutsideCp1251) {
  ZsimOpenGraphicDocument();
  const std::wstring folder = MakeWorkFolder(L"Müller 日本");
  KindSession session;
  session.ui_thread = GetCurrentThreadId();
  session.report = folder + L"плата 日本.bom";
  CopyFileW(CopySample(folder, L"board.bom").c_str(), session.report.c_str(), FALSE);
  session.table_file = folder + L"таблица Müller.tbl";
  DeleteFileW(session.table_file.c_str());
  const CommandRun run = RunLibraryCommand(1, PlayKind, &session);
  ASSERT_TRUE(run.started && run.user_done);
  EXPECT_EQ(session.failed_step, "");
  EXPECT_EQ(session.loaded_caption, L"Текстовый конвертер P-CAD-ЗЕНТАР:плата ??");
  EXPECT_EQ(TableLines(session.loaded_table).size(), 30u);
  EXPECT_TRUE(session.table_file_written);
  EXPECT_EQ(session.table_caption, L"Текстовый конвертер P-CAD-ЗЕНТАР:таблица M?ller");
  EXPECT_EQ(session.reopened_table, session.loaded_table);
}

// The replace-text dialog, opened from the P-CAD window: a column, a text and its replacement;
// "Заменить" highlights the first match, "Заменить все" replaces every one and tells the search
// is over.
struct ReplaceSession {
  DWORD ui_thread = 0;
  std::wstring report;
  std::string failed_step;
  std::wstring dialog_caption;
  int highlighted_pixels = 0;
  std::wstring table_after_first;
  std::wstring end_message;
  std::wstring replaced_table;
};

// Finds a visible dialog of the thread whose caption is `caption`.
HWND FindDialog(DWORD thread, const std::wstring& caption) {
  for (HWND dialog : FindThreadDialogs(thread).shown) {
    if (WindowText(dialog) == caption)
      return dialog;
  }
  return nullptr;
}

int CountPixels(HWND grid, uint32_t pixel) {
  const GridPicture picture(grid);
  return picture.Count(pixel);
}

void SetComboText(HWND dialog, int id, const std::wstring& text) {
  SetDlgItemTextW(dialog, id, text.c_str());
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DWORD WINAPI PlayReplace(void* parameter) {
  auto& session = *static_cast<ReplaceSession*>(parameter);
  const auto step = [&](const char* name, bool done) {
    if (!done && session.failed_step.empty())
      session.failed_step = name;
    return done;
  };
  HWND converter = nullptr;
  HWND file_dialog = nullptr;
  HWND dialog = nullptr;
  HWND message = nullptr;
  HWND grid = nullptr;
  const bool played = step("converter window shown", WaitFor([&] {
                             converter = FindThreadDialogs(session.ui_thread).converter;
                             return converter && WaitsForInput(converter);
                           })) &&
                      (PostMessageW(converter, WM_COMMAND, MAKEWPARAM(kOpenReport, 0), 0), true) &&
                      step("file dialog shown", WaitFor([&] {
                             file_dialog = FindThreadDialogs(session.ui_thread).file_dialog;
                             return file_dialog && WaitsForInput(file_dialog);
                           })) &&
                      (AnswerFileDialog(file_dialog, session.report), true) &&
                      step("report loaded", WaitFor([&] {
                             return WindowText(converter).find(L":board") != std::wstring::npos &&
                                    WaitsForInput(converter);
                           })) &&
                      (grid = GetDlgItem(converter, kGrid),
                       PostMessageW(converter, WM_COMMAND, MAKEWPARAM(kReplace, 0), 0), true) &&
                      step("replace dialog shown", WaitFor([&] {
                             dialog = FindDialog(session.ui_thread, L"Заменить текст");
                             return dialog && WaitsForInput(dialog);
                           }));
  if (played) {
    session.dialog_caption = WindowText(dialog);
    // Column 3 is "Value"; "кОм" becomes "kOhm".
    SendDlgItemMessageW(dialog, kColumns, LB_SETCURSEL, 2, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kColumns, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kColumns)));
    SetComboText(dialog, kFind, L"кОм");
    SetComboText(dialog, kReplacement, L"kOhm");
    PostMessageW(GetDlgItem(dialog, kReplaceOne), BM_CLICK, 0, 0);
    if (step("match highlighted", WaitFor([&] {
               WaitsForInput(dialog);
               return (session.highlighted_pixels = CountPixels(grid, kMatchPixel)) > 0;
             }))) {
      HoldForScreenshot();
      session.table_after_first = CopiedTable(grid);
      PostMessageW(GetDlgItem(dialog, kReplaceAll), BM_CLICK, 0, 0);
      if (step("end of search told", WaitFor([&] {
                 message = FindDialog(session.ui_thread, L"Внимание");
                 return message && WaitsForInput(message);
               }))) {
        wchar_t text[256] = {};
        GetDlgItemTextW(message, 0xFFFF, text, 256);
        session.end_message = text;
        PostMessageW(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitFor([&] { return FindDialog(session.ui_thread, L"Внимание") == nullptr; });
        session.replaced_table = CopiedTable(grid);
      }
    }
  }
  CloseAllDialogs(session.ui_thread);
  return 0;
}

TEST(ReplaceTextDialog, HighlightsAndReplacesThroughItsButtons) {
  ZsimOpenGraphicDocument();
  const std::wstring folder = MakeWorkFolder(L"replace");
  ReplaceSession session;
  session.ui_thread = GetCurrentThreadId();
  session.report = CopySample(folder, L"board.bom");
  const CommandRun run = RunLibraryCommand(1, PlayReplace, &session);
  ASSERT_TRUE(run.started && run.user_done);
  EXPECT_EQ(session.failed_step, "");
  EXPECT_EQ(session.dialog_caption, L"Заменить текст");
  EXPECT_GT(session.highlighted_pixels, 0);
  EXPECT_NE(session.table_after_first.find(L"10 кОм"), std::wstring::npos);
  EXPECT_EQ(session.end_message, L"Поиск текста окончен");
  // Only the chosen column changed: "Value", the third.
  const std::vector<std::wstring> before = TableLines(session.table_after_first);
  const std::vector<std::wstring> after = TableLines(session.replaced_table);
  ASSERT_EQ(after.size(), before.size());
  int replaced = 0;
  for (size_t line = 0; line < after.size(); ++line) {
    std::vector<std::wstring> cells = Split(before[line], L"\t");
    const std::vector<std::wstring> now = Split(after[line], L"\t");
    ASSERT_EQ(now.size(), cells.size());
    const size_t at = cells[2].find(L"кОм");
    if (at != std::wstring::npos) {
      cells[2].replace(at, 3, L"kOhm");
      ++replaced;
    }
    EXPECT_EQ(now, cells);
  }
  EXPECT_GT(replaced, 2);
}

}  // namespace
