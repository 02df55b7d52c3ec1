// Mouse and keyboard input of the grid: selecting, sizing rows and columns, dragging cells out,
// the click notification to the parent, the wheel, title tips, moving the focus with keys.
#include "converter/grid/grid_ctrl_win32.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_internal_win32.h"
#include "converter/grid/grid_drag_drop_win32.h"
#include "converter/grid/grid_title_tip_win32.h"

namespace zuro::grid {

namespace {

constexpr int kSizingZone = 3;
constexpr int kMinimumSize = 4;

constexpr int kWheelNotch = 120;

// Lines per wheel notch from the user's "WheelScrollLines"; Windows keeps it as a string
// (REG_SZ), but a REG_DWORD is read as well. -1 (stored as "-1" or as the unsigned 4294967295)
// asks for a page per notch.
int ReadWheelScrollLines() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return 3;
  wchar_t buffer[32] = {};
  DWORD type = 0;
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  const LONG result = RegQueryValueExW(key, L"WheelScrollLines", nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS)
    return 3;
  long long lines = 3;
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value;
    std::memcpy(&value, buffer, sizeof value);
    lines = value;
  } else if (type == REG_SZ || type == REG_EXPAND_SZ)
    lines = wcstoll(buffer, nullptr, 10);
  if (lines == -1 || lines == 0xFFFFFFFFll)
    return -1;
  return static_cast<int>(std::clamp(lines, 0ll, 1000ll));
}

// Read once per process, as the setting rarely changes while a converter window is open.
int WheelScrollLines() {
  static const int lines = ReadWheelScrollLines();
  return lines;
}

// The item whose far border lies within the sizing zone of `pos` (client coordinates), or -1.
int BorderAt(const std::vector<int>& starts, int fixed, int scroll, int pos) {
  const int count = static_cast<int>(starts.size()) - 1;
  for (int i = 0; i < fixed && i < count; ++i)
    if (std::abs(starts[i + 1] - pos) <= kSizingZone)
      return i;
  const int content = pos + scroll;
  if (pos <= starts[std::min(fixed, count)])
    return -1;
  const auto it = std::lower_bound(starts.begin() + fixed + 1, starts.end(), content - kSizingZone);
  if (it == starts.end() || *it > content + kSizingZone)
    return -1;
  return static_cast<int>(it - starts.begin()) - 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Mouse

// Dragging a border in the fixed row sizes a column, in the fixed column a row.
CGridCtrl::MouseMode CGridCtrl::BorderUnder(POINT point, int* index) const {
  if (point.y < FixedHeight()) {
    *index = BorderAt(col_lefts_, model_->GetFixedColumnCount(), scroll_x_, point.x);
    if (*index >= 0)
      return MouseMode::kSizeColumn;
  }
  if (point.x < FixedWidth()) {
    *index = BorderAt(row_tops_, model_->GetFixedRowCount(), scroll_y_, point.y);
    if (*index >= 0)
      return MouseMode::kSizeRow;
  }
  return MouseMode::kNone;
}

bool CGridCtrl::StartSizing(POINT point) {
  int index = -1;
  const MouseMode mode = BorderUnder(point, &index);
  if (mode == MouseMode::kNone)
    return false;
  mouse_mode_ = mode;
  sizing_index_ = index;
  sizing_origin_ =
      mode == MouseMode::kSizeColumn ? CellRect(0, index).left : CellRect(index, 0).top;
  return true;
}

// A click in the fixed column selects the row and puts the focus on its first component cell,
// so that a click on a row's mark flips it as a click on its first cell does. A click in the
// fixed row selects the column and the corner the whole table; both leave no focus cell, so the
// parent's click handling sees no row to act on.
void CGridCtrl::OnButtonDown(POINT point, bool shift, bool double_click) {
  HideTitleTip();
  EndEditing(true);
  SetFocus(hwnd_);
  EnsureLayout();
  press_started_sizing_ = false;
  pressed_cell_ = HitTest(point);
  if (StartSizing(point)) {
    press_started_sizing_ = true;
    if (double_click && mouse_mode_ == MouseMode::kSizeColumn) {
      model_->SetColumnWidth(sizing_index_, 0);
      mouse_mode_ = MouseMode::kNone;
    }
    SetCapture(hwnd_);
    return;
  }
  if (!pressed_cell_.IsValid())
    return;
  const int row = pressed_cell_.row;
  const int col = pressed_cell_.col;
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  if (double_click && model_->IsCellEditable(row, col)) {
    EditCell(row, col);
    return;
  }
  if (row < fixed_rows && col < fixed_cols) {
    model_->ClearFocusCell();
    model_->SelectAll();
    return;
  }
  if (row < fixed_rows) {
    mouse_mode_ = MouseMode::kSelectColumns;
    model_->ClearFocusCell();
    anchor_ = {fixed_rows, col};
  } else if (col < fixed_cols) {
    mouse_mode_ = MouseMode::kSelectRows;
    if (fixed_cols < model_->GetColumnCount())
      model_->SetFocusCell(row, fixed_cols);
    anchor_ = {row, fixed_cols};
  } else if (ole_ready_ && !shift && model_->GetSelectedRange().Contains(row, col) &&
             model_->GetSelectedRange() != table::CellRange{row, col, row, col}) {
    mouse_mode_ = MouseMode::kDragCandidate;
    last_mouse_ = point;
    SetCapture(hwnd_);
    return;
  } else {
    mouse_mode_ = MouseMode::kSelectCells;
    if (!shift || !anchor_.IsValid() || !model_->IsValid(anchor_.row, anchor_.col))
      anchor_ = pressed_cell_;
    model_->SetFocusCell(row, col);
  }
  SelectTo(pressed_cell_);
  SetCapture(hwnd_);
}

// Extends the selection from the anchor to `cell` in the way the press started.
void CGridCtrl::SelectTo(table::CellId cell) {
  const int rows = model_->GetRowCount();
  const int cols = model_->GetColumnCount();
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  if (!cell.IsValid() || !anchor_.IsValid() || fixed_rows >= rows || fixed_cols >= cols)
    return;
  const int row = std::max(cell.row, fixed_rows);
  const int col = std::max(cell.col, fixed_cols);
  switch (mouse_mode_) {
    case MouseMode::kSelectRows:
      model_->SetSelectedRange({anchor_.row, fixed_cols, row, cols - 1});
      break;
    case MouseMode::kSelectColumns:
      model_->SetSelectedRange({fixed_rows, anchor_.col, rows - 1, col});
      break;
    default:
      model_->SetSelectedRange({anchor_.row, anchor_.col, row, col});
      if (mouse_mode_ == MouseMode::kSelectCells)
        model_->SetFocusCell(row, col);
      break;
  }
}

// The cell under the point, or the nearest one in view when the point lies outside the cells.
table::CellId CGridCtrl::HitTestClamped(POINT point) {
  RECT client;
  GetClientRect(hwnd_, &client);
  point.x = std::clamp<LONG>(point.x, FixedWidth(),
                             std::min<LONG>(client.right, col_lefts_.back() - scroll_x_) - 1);
  point.y = std::clamp<LONG>(point.y, FixedHeight(),
                             std::min<LONG>(client.bottom, row_tops_.back() - scroll_y_) - 1);
  return HitTest(point);
}

void CGridCtrl::OnMouseMove(POINT point) {
  if (GetCapture() != hwnd_) {
    TrackHover(point);
    return;
  }
  switch (mouse_mode_) {
    case MouseMode::kSizeColumn:
      model_->SetColumnWidth(sizing_index_, std::max<int>(kMinimumSize, point.x - sizing_origin_));
      break;
    case MouseMode::kSizeRow:
      model_->SetRowHeight(sizing_index_, std::max<int>(kMinimumSize, point.y - sizing_origin_));
      break;
    case MouseMode::kDragCandidate:
      if (std::abs(point.x - last_mouse_.x) > GetSystemMetrics(SM_CXDRAG) ||
          std::abs(point.y - last_mouse_.y) > GetSystemMetrics(SM_CYDRAG))
        StartDrag();
      break;
    case MouseMode::kNone:
      break;
    default: {
      RECT client;
      GetClientRect(hwnd_, &client);
      const bool outside = point.x < FixedWidth() || point.y < FixedHeight() ||
                           point.x >= client.right || point.y >= client.bottom;
      if (outside)
        SetTimer(hwnd_, kAutoScrollTimer, 50, nullptr);
      else
        KillTimer(hwnd_, kAutoScrollTimer);
      SelectTo(HitTestClamped(point));
      break;
    }
  }
}

// While the user selects with the pointer outside the cells, the grid scrolls towards it.
void CGridCtrl::OnAutoScroll() {
  if (GetCapture() != hwnd_) {
    KillTimer(hwnd_, kAutoScrollTimer);
    return;
  }
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(hwnd_, &point);
  RECT client;
  GetClientRect(hwnd_, &client);
  if (point.y < FixedHeight())
    ScrollRows(-1);
  else if (point.y >= client.bottom)
    ScrollRows(1);
  if (point.x < FixedWidth())
    ScrollTo(scroll_x_ - 20, scroll_y_);
  else if (point.x >= client.right)
    ScrollTo(scroll_x_ + 20, scroll_y_);
  SelectTo(HitTestClamped(point));
}

// The parent hears of every click on a cell: the converter windows flip the focus row's mark
// on it. A press that grabbed a border to size a row or column is no click on a cell and is not
// reported, so sizing a column never flips a mark.
void CGridCtrl::OnButtonUp(POINT point) {
  KillTimer(hwnd_, kAutoScrollTimer);
  const MouseMode mode = mouse_mode_;
  mouse_mode_ = MouseMode::kNone;
  if (GetCapture() == hwnd_)
    ReleaseCapture();
  if (mode == MouseMode::kDragCandidate) {
    anchor_ = pressed_cell_;
    model_->SetFocusCell(pressed_cell_.row, pressed_cell_.col);
    model_->SetSelectedRange(
        {pressed_cell_.row, pressed_cell_.col, pressed_cell_.row, pressed_cell_.col});
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  const table::CellId pressed = std::exchange(pressed_cell_, {});
  if (pressed.IsValid() && !press_started_sizing_ && PtInRect(&client, point)) {
    PostMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), 0),
                 reinterpret_cast<LPARAM>(hwnd_));
  }
  press_started_sizing_ = false;
}

// The sizing cursors show over a border that can be dragged and during the drag.
bool CGridCtrl::OnSetCursor() {
  MouseMode shape = mouse_mode_;
  if (shape == MouseMode::kNone) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hwnd_, &point);
    EnsureLayout();
    int index = -1;
    shape = BorderUnder(point, &index);
  }
  if (shape != MouseMode::kSizeColumn && shape != MouseMode::kSizeRow)
    return false;
  SetCursor(LoadCursorW(nullptr, shape == MouseMode::kSizeColumn ? IDC_SIZEWE : IDC_SIZENS));
  return true;
}

void CGridCtrl::StartDrag() {
  mouse_mode_ = MouseMode::kNone;
  if (GetCapture() == hwnd_)
    ReleaseCapture();
  const std::string text = table::CopyText(*model_, model_->GetSelectedRange());
  if (!text.empty())
    DragText(WideFromCp1251(text));
  // The drag loop swallowed the button release; the press is no click any more.
  pressed_cell_ = {};
}

// ---------------------------------------------------------------------------------------------
// Wheel

// Each full notch (120 units) scrolls the user's number of rows, or a page for -1; smaller
// movements of precise wheels add up.
void CGridCtrl::OnMouseWheel(int delta) {
  wheel_remainder_ += delta;
  const int notches = wheel_remainder_ / kWheelNotch;
  wheel_remainder_ -= notches * kWheelNotch;
  if (notches == 0)
    return;
  const int lines = WheelScrollLines();
  if (lines < 0)
    ScrollPages(-notches);
  else if (lines > 0)
    ScrollRows(-notches * lines);
}

// ---------------------------------------------------------------------------------------------
// Title tips

// Arms the hover detection whenever the pointer enters another cell.
void CGridCtrl::TrackHover(POINT point) {
  const table::CellId cell = HitTest(point);
  if (cell == hover_cell_ && tracking_mouse_)
    return;
  if (cell != hover_cell_)
    HideTitleTip();
  hover_cell_ = cell;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_HOVER | TME_LEAVE;
  track.hwndTrack = hwnd_;
  track.dwHoverTime = HOVER_DEFAULT;
  tracking_mouse_ = TrackMouseEvent(&track) != FALSE;
}

bool CGridCtrl::TextFits(int row, int col, const RECT& rect, SIZE* extent) {
  const std::optional<table::Cell> cell = model_->GetCell(row, col);
  if (!cell || cell->text.empty())
    return true;
  int room = rect.right - rect.left - 2 * TextMargin() - 1;
  if (cell->image >= 0 && images_) {
    int image_width = 0, image_height = 0;
    ImageList_GetIconSize(images_, &image_width, &image_height);
    room -= image_width + TextMargin();
  }
  const std::wstring text = WideFromCp1251(cell->text);
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old_font = SelectObject(dc, GetFont());
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), extent);
  SelectObject(dc, old_font);
  ReleaseDC(hwnd_, dc);
  return extent->cx <= room;
}

// Called when the pointer rests: the tip covers the cell's text area, widened to the text.
void CGridCtrl::ShowTitleTip() {
  if (!title_tips_ || edit_ || GetCapture() || !hover_cell_.IsValid())
    return;
  EnsureLayout();
  if (!model_->IsValid(hover_cell_.row, hover_cell_.col))
    return;
  const RECT cell = CellRect(hover_cell_.row, hover_cell_.col);
  SIZE extent{};
  if (TextFits(hover_cell_.row, hover_cell_.col, cell, &extent))
    return;
  RECT text{cell.left + TextMargin(), cell.top, cell.left + TextMargin() + extent.cx,
            cell.bottom - 1};
  if (const std::optional<table::Cell> item = model_->GetCell(hover_cell_.row, hover_cell_.col);
      item->image >= 0 && images_) {
    int image_width = 0, image_height = 0;
    ImageList_GetIconSize(images_, &image_width, &image_height);
    OffsetRect(&text, image_width + TextMargin(), 0);
  }
  MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&text), 2);
  title_tip_->Show(text, WideFromCp1251(model_->GetItemText(hover_cell_.row, hover_cell_.col)),
                   GetFont());
}

void CGridCtrl::HideTitleTip() {
  if (title_tip_)
    title_tip_->Hide();
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void CGridCtrl::MoveFocus(int row, int col, bool extend) {
  const int fixed_rows = model_->GetFixedRowCount();
  const int fixed_cols = model_->GetFixedColumnCount();
  if (fixed_rows >= model_->GetRowCount() || fixed_cols >= model_->GetColumnCount())
    return;
  row = std::clamp(row, fixed_rows, model_->GetRowCount() - 1);
  col = std::clamp(col, fixed_cols, model_->GetColumnCount() - 1);
  model_->SetFocusCell(row, col);
  if (!extend || !anchor_.IsValid() || !model_->IsValid(anchor_.row, anchor_.col))
    anchor_ = {row, col};
  model_->SetSelectedRange({anchor_.row, anchor_.col, row, col});
  ScrollCellIntoView(row, col);
}

void CGridCtrl::OnKeyDown(WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (control) {
    switch (key) {
      case 'C':
      case VK_INSERT:
        return OnEditCopy();
      case 'X':
        return OnEditCut();
      case 'V':
        return OnEditPaste();
      case 'A':
        return OnEditSelectAll();
    }
  }
  if (shift && key == VK_INSERT)
    return OnEditPaste();
  if (shift && key == VK_DELETE)
    return OnEditCut();
  EnsureLayout();
  table::CellId focus = model_->GetFocusCell();
  const bool had_focus = focus.IsValid();
  if (!had_focus)
    focus = {model_->GetFixedRowCount(), model_->GetFixedColumnCount()};
  const int page_rows = std::max(1, VisibleHeight() / std::max(1, default_row_height_));
  switch (key) {
    case VK_UP:
      return MoveFocus(focus.row - (had_focus ? 1 : 0), focus.col, shift);
    case VK_DOWN:
      return MoveFocus(focus.row + (had_focus ? 1 : 0), focus.col, shift);
    case VK_LEFT:
      return MoveFocus(focus.row, focus.col - (had_focus ? 1 : 0), shift);
    case VK_RIGHT:
      return MoveFocus(focus.row, focus.col + (had_focus ? 1 : 0), shift);
    case VK_PRIOR:
      return MoveFocus(focus.row - page_rows, focus.col, shift);
    case VK_NEXT:
      return MoveFocus(focus.row + page_rows, focus.col, shift);
    case VK_HOME:
      return MoveFocus(control ? 0 : focus.row, 0, shift);
    case VK_END:
      return MoveFocus(control ? model_->GetRowCount() : focus.row, model_->GetColumnCount(),
                       shift);
    case VK_F2:
      if (had_focus)
        EditCell(focus.row, focus.col);
      return;
    case VK_DELETE:
      return DeleteSelectedTexts();
  }
}

// Typing on the focus cell starts editing it with the typed character.
void CGridCtrl::OnChar(wchar_t ch) {
  if (ch < L' ' || ch == 0x7F)
    return;
  const table::CellId focus = model_->GetFocusCell();
  const wchar_t typed[2] = {ch, 0};
  StartEdit(focus.row, focus.col, typed);
}

void CGridCtrl::DeleteSelectedTexts() {
  table::CellRange range = model_->GetSelectedRange();
  const table::CellId focus = model_->GetFocusCell();
  if (range.IsEmpty() && focus.IsValid())
    range = {focus.row, focus.col, focus.row, focus.col};
  table::GridUpdate batch(*model_);
  for (int row = std::max(range.top, 0); row <= range.bottom; ++row)
    for (int col = std::max(range.left, 0); col <= range.right; ++col)
      if (model_->IsCellEditable(row, col) && !model_->GetItemText(row, col).empty())
        model_->SetItemText(row, col, "");
}

}  // namespace zuro::grid
