// The Win32 grid control of the converter windows: draws a GridModel, edits its cells in place,
// scrolls, resizes rows and columns, copies and pastes through the clipboard and prints.
// Dialog templates place it as a custom control of window class "MFCGridCtrl".
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "table/grid_model.h"

namespace zuro::table {
struct PrintPage;
}

namespace zuro::grid {

class TitleTip;
class GridDropTarget;
struct PrintMetrics;

inline constexpr wchar_t kGridWindowClass[] = L"MFCGridCtrl";

class CGridCtrl {
 public:
  // Clipboard commands, as WM_COMMAND ids.
  static constexpr UINT kCommandCopy = 57634;
  static constexpr UINT kCommandCut = 57635;
  static constexpr UINT kCommandPaste = 57637;
  static constexpr UINT kCommandSelectAll = 57642;

  // Registers "MFCGridCtrl" once per process; nullptr registers it for the module of this code.
  static bool RegisterWindowClass(HINSTANCE instance = nullptr);
  // The grid object of a window of class "MFCGridCtrl", or nullptr.
  static CGridCtrl* FromHandle(HWND window);
  // Creates a grid window as a child of `parent`; nullptr on failure.
  static CGridCtrl* Create(HWND parent,
                           int id,
                           const RECT& rect,
                           DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP);

  CGridCtrl(const CGridCtrl&) = delete;
  CGridCtrl& operator=(const CGridCtrl&) = delete;

  HWND GetSafeHwnd() const { return hwnd_; }
  table::GridModel& GetModel() { return *model_; }
  // Shows another model (which must outlive the control or be detached first); nullptr returns
  // to the grid's own model.
  void SetModel(table::GridModel* model);

  void SetImageList(HIMAGELIST images);
  HIMAGELIST GetImageList() const { return images_; }
  // nullptr returns to the system message font. The font is not owned.
  void SetFont(HFONT font);
  HFONT GetFont() const;
  void SetTitleTips(bool enabled);
  bool GetTitleTips() const { return title_tips_; }
  bool IsDragAndDropEnabled() const { return ole_ready_; }

  bool EnsureVisible(int row, int col);
  void Refresh();

  // In-place editing.
  bool EditCell(int row, int col);
  void EndEditing(bool commit);
  bool IsEditing() const { return edit_ != nullptr; }
  HWND GetEditWindow() const { return edit_; }

  // Clipboard commands and their update rules.
  void OnEditCopy();
  void OnEditCut();
  void OnEditPaste();
  void OnEditSelectAll();
  bool CanCopy() const;
  bool CanCut() const;
  bool CanPaste() const;
  bool CanSelectAll() const;

  // Prints the whole table on a printer device context; false when the printer refused.
  bool Print(HDC printer);

  // Geometry in client coordinates.
  bool GetCellRect(int row, int col, RECT* rect);
  table::CellId HitTest(POINT point);
  int GetTopRow();
  int GetLeftColumn();
  int GetColumnWidth(int col);
  int GetRowHeight(int row);

 private:
  enum class MouseMode {
    kNone,
    kSelectCells,
    kSelectRows,
    kSelectColumns,
    kSizeColumn,
    kSizeRow,
    kDragCandidate,
  };
  enum class EditEnd { kCancel, kCommit, kCommitLeft, kCommitRight, kCommitUp, kCommitDown };
  // How cells are drawn: on the screen or on a printer page.
  struct Paint {
    bool printing = false;
    HFONT font = nullptr;
    int image_width = 0;  // in the units of the device context
    int image_height = 0;
    int margin = 3;
    int line = 1;
  };

  explicit CGridCtrl(HWND window);
  ~CGridCtrl();

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK
  EditProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR data);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // Model and layout.
  void Attach(table::GridModel* model);
  void OnModelChange(const table::GridChange& change);
  void InvalidateLayout();
  void EnsureLayout();
  void UpdateScrollBars();
  int AutoColumnWidth(HDC dc, int col) const;
  int FixedHeight() const { return row_tops_[model_->GetFixedRowCount()]; }
  int FixedWidth() const { return col_lefts_[model_->GetFixedColumnCount()]; }
  int VisibleHeight() const;
  int VisibleWidth() const;
  int RowAtY(int y) const;
  int ColumnAtX(int x) const;
  RECT CellRect(int row, int col) const;

  // Painting.
  void OnPaint();
  void PaintCells(HDC dc, const RECT& area);
  void DrawCell(HDC dc, const RECT& rect, int row, int col, const Paint& paint) const;
  void DrawCellImage(HDC dc, RECT* rect, int image, const Paint& paint) const;
  int TextMargin() const { return 3; }

  // Scrolling.
  void OnScroll(int bar, int code);
  void ScrollTo(int x, int y);
  void ScrollRows(int rows);
  void ScrollPages(int pages);
  void ScrollCellIntoView(int row, int col);

  // Mouse and keyboard.
  void OnButtonDown(POINT point, bool shift, bool double_click);
  void OnMouseMove(POINT point);
  void OnButtonUp(POINT point);
  table::CellId HitTestClamped(POINT point);
  void OnAutoScroll();
  bool OnSetCursor();
  MouseMode BorderUnder(POINT point, int* index) const;
  bool StartSizing(POINT point);
  void SelectTo(table::CellId cell);
  void OnKeyDown(WPARAM key);
  void OnChar(wchar_t ch);
  void MoveFocus(int row, int col, bool extend);
  void DeleteSelectedTexts();
  void StartDrag();
  void OnMouseWheel(int delta);

  // In-place editing.
  bool StartEdit(int row, int col, const wchar_t* typed);
  bool HandleEditKey(WPARAM key);
  void OnEndEditMessage(EditEnd end, HWND edit);

  // Title tips.
  void TrackHover(POINT point);
  void ShowTitleTip();
  void HideTitleTip();
  bool TextFits(int row, int col, const RECT& rect, SIZE* extent);

  table::CellRange CopyRange() const;

  // Printing.
  void PrintOnePage(HDC dc,
                    const table::PrintPage& page,
                    const PrintMetrics& metrics,
                    int number,
                    int count);

  HWND hwnd_;
  table::GridModel own_model_;
  table::GridModel* model_ = nullptr;
  int listener_ = 0;
  HIMAGELIST images_ = nullptr;
  HFONT message_font_ = nullptr;
  HFONT font_ = nullptr;
  int default_row_height_ = 20;
  bool title_tips_ = true;
  bool ole_initialised_ = false;
  bool ole_ready_ = false;

  bool layout_dirty_ = true;
  bool layout_posted_ = false;
  std::vector<int> row_tops_{0};
  std::vector<int> col_lefts_{0};
  int scroll_x_ = 0;
  int scroll_y_ = 0;
  int wheel_remainder_ = 0;
  bool in_scroll_update_ = false;

  MouseMode mouse_mode_ = MouseMode::kNone;
  table::CellId pressed_cell_;
  table::CellId anchor_;
  int sizing_index_ = -1;
  int sizing_origin_ = 0;
  bool press_started_sizing_ = false;
  POINT last_mouse_{};
  table::CellId hover_cell_;
  bool tracking_mouse_ = false;

  HWND edit_ = nullptr;
  table::CellId edit_cell_;
  bool ending_edit_ = false;
  std::unique_ptr<TitleTip> title_tip_;
  GridDropTarget* drop_target_ = nullptr;
};

}  // namespace zuro::grid
