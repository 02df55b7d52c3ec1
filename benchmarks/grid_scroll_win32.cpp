// grid-scroll-bench.exe [ROWS]: how long the converter windows' grid takes to show a table of
// ROWS component rows (100 000 by default) and to scroll it, as a designer does: a page down, the
// jump to the end and back to the top. Each figure is the time from the scroll message until the
// grid has painted, the median of several; the program prints them and exits. Run it under Wine
// (scripts/bench --window, or scripts/wine-run with a display).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "converter/grid/grid_ctrl_win32.h"
#include "table/component_rows.h"
#include "table/grid_model.h"

namespace {

using zuro::grid::CGridCtrl;

double Now() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0)
    QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from the call until the grid window has painted what it invalidated.
template <typename Action>
double Timed(HWND grid, Action action) {
  const double start = Now();
  action();
  UpdateWindow(grid);
  return (Now() - start) * 1000;
}

// The median of `runs` timed actions, each after an untimed setup that has painted.
template <typename Setup, typename Action>
double Median(int runs, HWND grid, Setup setup, Action action) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    setup();
    UpdateWindow(grid);
    times.push_back(Timed(grid, action));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A component table of the readers' shape: titles, marks, and a dozen attribute columns of
// designators, values and Cyrillic names.
void Fill(zuro::table::GridModel& table, int rows) {
  zuro::table::GridUpdate update(table);
  zuro::table::ResetComponentTable(table);
  const char* const titles[] = {"Count", "RefDes",  "Value", "Type", "Наименование", "TypeElement",
                                "Name",  "Nominal", "Unit",  "Watt", "Volt",         "ID PartLib"};
  for (const char* title : titles)
    table.InsertColumn(title, zuro::table::kColumnTitleFormat);
  table.Reserve(rows + 1, static_cast<size_t>(rows) * 120);
  for (int i = 1; i <= rows; ++i) {
    const int row = zuro::table::AppendComponentRow(table);
    const std::string number = std::to_string(i);
    table.SetItemText(row, 1, "1");
    table.SetItemText(row, 2, "R" + number);
    table.SetItemText(row, 3, std::to_string(i % 1000) + "k");
    table.SetItemText(row, 4, "RES_0603");
    table.SetItemText(row, 5, "Резистор С2-33Н-0,125-" + number);
    table.SetItemText(row, 6, "Резистор");
    table.SetItemText(row, 7, "C2-33H");
    table.SetItemText(row, 8, std::to_string(i % 1000));
    table.SetItemText(row, 9, "кОм");
    table.SetItemText(row, 10, "0,125");
    table.SetItemText(row, 12, "PL-" + number);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rows =
      argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 100000;
  CGridCtrl::RegisterWindowClass();
  const HWND frame = CreateWindowExW(0, L"STATIC", L"grid-scroll-bench", WS_OVERLAPPEDWINDOW, 0, 0,
                                     1100, 800, nullptr, nullptr, nullptr, nullptr);
  RECT client{0, 0, 1080, 760};
  CGridCtrl* grid = CGridCtrl::Create(frame, 1, client);
  if (!frame || !grid) {
    std::fprintf(stderr, "grid-scroll-bench: cannot create the windows\n");
    return 1;
  }
  zuro::table::GridModel table;
  const double fill_start = Now();
  Fill(table, rows);
  const double fill_ms = (Now() - fill_start) * 1000;
  ShowWindow(frame, SW_SHOW);
  const HWND window = grid->GetSafeHwnd();
  const double shown_ms = Timed(window, [&] { grid->SetModel(&table); });

  const auto scroll = [window](int code) {
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(code, 0), 0);
  };
  const double page_ms = Median(
      25, window, [] {}, [&] { scroll(SB_PAGEDOWN); });
  // A jump is timed from the other end of the table, where the grid is first put.
  const auto jump = [&](int from, int to) {
    return Median(
        7, window, [&] { scroll(from); }, [&] { scroll(to); });
  };
  const double end_ms = jump(SB_TOP, SB_BOTTOM);
  const double top_ms = jump(SB_BOTTOM, SB_TOP);
  std::printf(
      "grid of %d rows x %d columns: model filled in %.1f ms, shown in %.1f ms; "
      "page down %.2f ms, jump to the end %.2f ms, to the top %.2f ms (medians)\n",
      rows, table.GetColumnCount(), fill_ms, shown_ms, page_ms, end_ms, top_ms);
  grid->SetModel(nullptr);
  DestroyWindow(frame);
  return 0;
}
