// In-place editing of the grid's cells and the clipboard commands.
#include "converter/grid/grid_ctrl_win32.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <utility>

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_internal_win32.h"

namespace zuro::grid {

namespace {

constexpr int kEditId = 1;

bool PutClipboardText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner))
    return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (block) {
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!done)
      GlobalFree(block);
  }
  CloseClipboard();
  return done;
}

bool TakeClipboardText(HWND owner, std::wstring* text) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
    return false;
  bool done = false;
  if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(block))) {
      text->assign(chars, wcsnlen(chars, GlobalSize(block) / sizeof(wchar_t)));
      GlobalUnlock(block);
      done = true;
    }
  }
  CloseClipboard();
  return done;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// In-place editing

bool CGridCtrl::EditCell(int row, int col) {
  return StartEdit(row, col, nullptr);
}

bool CGridCtrl::StartEdit(int row, int col, const wchar_t* typed) {
  if (!model_->IsCellEditable(row, col))
    return false;
  EndEditing(true);
  HideTitleTip();
  ScrollCellIntoView(row, col);
  const RECT cell = CellRect(row, col);
  const std::wstring text = typed ? typed : WideFromCp1251(model_->GetItemText(row, col));
  edit_ = CreateWindowExW(
      0, L"EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, cell.left, cell.top,
      cell.right - cell.left - 1, cell.bottom - cell.top - 1, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), ThisModule(), nullptr);
  if (!edit_)
    return false;
  edit_cell_ = {row, col};
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()), FALSE);
  SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELONG(TextMargin() - 1, TextMargin() - 1));
  SetWindowSubclass(edit_, &EditProc, kEditId, reinterpret_cast<DWORD_PTR>(this));
  const int length = static_cast<int>(text.size());
  SendMessageW(edit_, EM_SETSEL, typed ? length : 0, length);
  SetFocus(edit_);
  return true;
}

// The typed text replaces the cell's text and marks the cell modified; an unchanged text
// leaves the cell as it was.
void CGridCtrl::EndEditing(bool commit) {
  if (!edit_ || ending_edit_)
    return;
  ending_edit_ = true;
  HWND edit = std::exchange(edit_, nullptr);
  if (commit && model_->IsValid(edit_cell_.row, edit_cell_.col)) {
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    text.resize(length);
    const std::string value = Cp1251FromWide(text.c_str(), length);
    if (value != model_->GetItemText(edit_cell_.row, edit_cell_.col)) {
      table::GridUpdate batch(*model_);
      model_->SetItemText(edit_cell_.row, edit_cell_.col, value);
      model_->SetItemState(
          edit_cell_.row, edit_cell_.col,
          model_->GetItemState(edit_cell_.row, edit_cell_.col) | table::kStateModified);
    }
  }
  const bool had_focus = GetFocus() == edit;
  DestroyWindow(edit);
  if (had_focus)
    SetFocus(hwnd_);
  ending_edit_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

// Keys that end editing are acted on after the edit's own message is done, through a message
// posted to the grid: the edit window must not be destroyed inside its own handler.
bool CGridCtrl::HandleEditKey(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  EditEnd end = EditEnd::kCommit;
  switch (key) {
    case VK_RETURN:
      break;
    case VK_ESCAPE:
      end = EditEnd::kCancel;
      break;
    case VK_TAB:
      end = shift ? EditEnd::kCommitLeft : EditEnd::kCommitRight;
      break;
    case VK_UP:
      end = EditEnd::kCommitUp;
      break;
    case VK_DOWN:
      end = EditEnd::kCommitDown;
      break;
    default:
      return false;
  }
  PostMessageW(hwnd_, kMsgEndEdit, static_cast<WPARAM>(end), reinterpret_cast<LPARAM>(edit_));
  return true;
}

void CGridCtrl::OnEndEditMessage(EditEnd end, HWND edit) {
  if (edit != edit_)
    return;
  const table::CellId cell = edit_cell_;
  EndEditing(end != EditEnd::kCancel);
  switch (end) {
    case EditEnd::kCommitLeft:
      return MoveFocus(cell.row, cell.col - 1, false);
    case EditEnd::kCommitRight:
      return MoveFocus(cell.row, cell.col + 1, false);
    case EditEnd::kCommitUp:
      return MoveFocus(cell.row - 1, cell.col, false);
    case EditEnd::kCommitDown:
      return MoveFocus(cell.row + 1, cell.col, false);
    default:
      return;
  }
}

LRESULT CALLBACK CGridCtrl::EditProc(HWND edit,
                                     UINT message,
                                     WPARAM wparam,
                                     LPARAM lparam,
                                     UINT_PTR,
                                     DWORD_PTR data) {
  auto* grid = reinterpret_cast<CGridCtrl*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      return DefSubclassProc(edit, message, wparam, lparam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (grid->HandleEditKey(wparam))
        return 0;
      break;
    case WM_CHAR:
      if (wparam == L'\r' || wparam == L'\t' || wparam == 0x1B)
        return 0;
      break;
    case WM_KILLFOCUS:
      PostMessageW(grid->hwnd_, kMsgEndEdit, static_cast<WPARAM>(EditEnd::kCommit),
                   reinterpret_cast<LPARAM>(edit));
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, &EditProc, kEditId);
      break;
  }
  return DefSubclassProc(edit, message, wparam, lparam);
}

// ---------------------------------------------------------------------------------------------
// Clipboard

// The selection, or the focus cell alone when nothing is selected.
table::CellRange CGridCtrl::CopyRange() const {
  const table::CellRange range = model_->GetSelectedRange();
  const table::CellId focus = model_->GetFocusCell();
  if (range.IsEmpty() && focus.IsValid())
    return {focus.row, focus.col, focus.row, focus.col};
  return range;
}

void CGridCtrl::OnEditCopy() {
  if (CanCopy())
    PutClipboardText(hwnd_, WideFromCp1251(table::CopyText(*model_, CopyRange())));
}

void CGridCtrl::OnEditCut() {
  if (!CanCut())
    return;
  if (PutClipboardText(hwnd_, WideFromCp1251(table::CopyText(*model_, CopyRange()))))
    table::CutText(*model_, CopyRange());
}

void CGridCtrl::OnEditPaste() {
  std::wstring text;
  if (!CanPaste() || !TakeClipboardText(hwnd_, &text))
    return;
  table::PasteText(*model_, model_->GetFocusCell(), Cp1251FromWide(text.c_str()));
}

void CGridCtrl::OnEditSelectAll() {
  model_->SelectAll();
}

bool CGridCtrl::CanCopy() const {
  return !CopyRange().IsEmpty();
}

bool CGridCtrl::CanCut() const {
  return CanCopy() && model_->IsEditable();
}

bool CGridCtrl::CanPaste() const {
  const table::CellId focus = model_->GetFocusCell();
  return model_->IsCellEditable(focus.row, focus.col) && IsClipboardFormatAvailable(CF_UNICODETEXT);
}

bool CGridCtrl::CanSelectAll() const {
  return model_->GetFixedRowCount() < model_->GetRowCount() &&
         model_->GetFixedColumnCount() < model_->GetColumnCount();
}

}  // namespace zuro::grid
