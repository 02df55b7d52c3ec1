#include "converter/converter_dialog_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/html_help_win32.h"
#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_win32.h"
#include "converter/replace_text_dialog_win32.h"
#include "converter/settings_dialog_win32.h"
#include "resources/resource.h"
#include "templates/templates_dialog_win32.h"

namespace zuro::converter {

namespace {

// The mark images are 16 pixels wide and 15 high; white shows the cell through.
constexpr int kMarkWidth = 16;
constexpr int kMarkHeight = 15;
constexpr COLORREF kMarkTransparent = RGB(255, 255, 255);
// Room for a long path, as the file dialogs may return one.
constexpr DWORD kFileBufferChars = 32768;

HIMAGELIST LoadMarkImages(HINSTANCE module) {
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(IDB_MARKS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap)
    return nullptr;
  HIMAGELIST images = ImageList_Create(kMarkWidth, kMarkHeight, ILC_COLOR4 | ILC_MASK, 7, 0);
  if (images && ImageList_AddMasked(images, bitmap, kMarkTransparent) < 0) {
    ImageList_Destroy(images);
    images = nullptr;
  }
  DeleteObject(bitmap);
  return images;
}

// The next piece of a "text|pattern|...||" filter string from `start` on; empty at its end.
std::string NextFilterPiece(const std::string& filter, size_t& start) {
  if (start >= filter.size())
    return {};
  size_t end = filter.find('|', start);
  if (end == std::string::npos)
    end = filter.size();
  std::string piece = filter.substr(start, end - start);
  start = end + 1;
  return piece;
}

// The file dialog's filter list ("text\0pattern\0...\0") from the window's filter string. A text
// without a pattern, as in "*.bom||", is its own pattern: the user sees and gets "*.bom".
std::wstring FilterList(const std::string& filter) {
  std::wstring list;
  size_t start = 0;
  for (;;) {
    const std::string text = NextFilterPiece(filter, start);
    if (text.empty())
      break;
    std::string pattern = NextFilterPiece(filter, start);
    if (pattern.empty())
      pattern = text;
    list += WideFromCp1251(text);
    list += L'\0';
    list += WideFromCp1251(pattern);
    list += L'\0';
  }
  return list;
}

DWORD FileDialogFlags(const FileDialogRequest& request) {
  DWORD flags = OFN_EXPLORER | OFN_PATHMUSTEXIST;
  if (request.overwrite_prompt)
    flags |= OFN_OVERWRITEPROMPT;
  if (request.hide_read_only)
    flags |= OFN_HIDEREADONLY;
  return flags;
}

}  // namespace

Win32ConverterDialog::Win32ConverterDialog(HINSTANCE module,
                                           automation::LibraryContext& context,
                                           WindowState& state,
                                           const WindowMaker& make,
                                           AttributeTemplatesShower show_attribute_templates)
    : module_(module),
      context_(context),
      state_(state),
      show_attribute_templates_(std::move(show_attribute_templates)),
      dialog_(make(*this)) {}

// The grid and the tooltips died with the window; the image list is the view's own.
Win32ConverterDialog::~Win32ConverterDialog() {
  if (marks_)
    ImageList_Destroy(marks_);
}

INT_PTR Win32ConverterDialog::Run() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (!dialog_)
    return -1;
  return DialogBoxParamW(module_, MAKEINTRESOURCEW(dialog_->DialogTemplate()), nullptr, &DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

// Finds the view through the window's user data, set when the dialog starts. Nothing may leave a
// window procedure: whatever a handler throws ends that message only.
INT_PTR CALLBACK Win32ConverterDialog::DialogProc(HWND window,
                                                  UINT message,
                                                  WPARAM wparam,
                                                  LPARAM lparam) {
  if (message == WM_INITDIALOG)
    SetWindowLongPtrW(window, DWLP_USER, lparam);
  auto* view = reinterpret_cast<Win32ConverterDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!view)
    return FALSE;
  try {
    if (message == WM_INITDIALOG)
      view->window_ = window;
    return view->HandleMessage(message, wparam, lparam) ? TRUE : FALSE;
  } catch (...) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
  }
}

bool Win32ConverterDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return true;
    case WM_COMMAND:
      return OnCommand(wparam, lparam);
    case WM_SIZE:
      FitTable();
      return true;
    case WM_CLOSE:
      dialog_->OnCancel();
      return true;
    case WM_COPYDATA:
      // A step of the replace-text dialog, which waits for it.
      dialog_->OnReplaceStep();
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return true;
  }
  return false;
}

// The grid shows the window's table with the mark images, and the tooltip control exists before
// the behaviour adds its tooltips. A model document makes the behaviour ask for the report at
// once, before the window is first shown.
void Win32ConverterDialog::OnInitDialog() {
  grid_ = grid::CGridCtrl::FromHandle(GetDlgItem(window_, kIdGrid));
  if (grid_)
    grid_->SetModel(&dialog_->table());
  AttachMarkImages();
  CreateTooltips();
  FitTable();
  dialog_->OnInitDialog();
}

// A menu command does not take the focus from a cell being edited, so the edit is committed
// first: the command then sees the text the user typed. The grid's own click report is the
// exception, as a double click reports its click after it has opened the edit.
bool Win32ConverterDialog::OnCommand(WPARAM wparam, LPARAM lparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  // Menus and buttons send 0, accelerators 1; other notifications are no commands.
  if (code != 0 && code != 1)
    return false;
  const bool grid_click =
      id == kIdGrid && grid_ && reinterpret_cast<HWND>(lparam) == grid_->GetSafeHwnd();
  if (grid_ && !grid_click)
    grid_->EndEditing(true);
  switch (id) {
    case IDOK:
      dialog_->OnOk();
      return true;
    case IDCANCEL:
      dialog_->OnCancel();
      return true;
    default:
      return dialog_->OnCommand(id);
  }
}

// The table covers the whole client area, whatever the window's size.
void Win32ConverterDialog::FitTable() {
  HWND table = GetDlgItem(window_, kIdGrid);
  if (!table)
    return;
  RECT client;
  GetClientRect(window_, &client);
  MoveWindow(table, 0, 0, client.right, client.bottom, TRUE);
}

// The buttons that carry tooltips are hidden in this window, but they exist and keep them.
void Win32ConverterDialog::CreateTooltips() {
  tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                              nullptr, module_, nullptr);
  if (tooltips_)
    SendMessageW(tooltips_, TTM_ACTIVATE, TRUE, 0);
}

void Win32ConverterDialog::EnableControl(int id, bool enabled) {
  if (HWND control = GetDlgItem(window_, id))
    EnableWindow(control, enabled ? TRUE : FALSE);
}

// The path's first position is on the menu bar, the others lead through its sub-menus.
void Win32ConverterDialog::EnableMenuItem(const MenuPath& path, bool enabled) {
  HMENU menu = GetMenu(window_);
  if (!menu || path.empty())
    return;
  for (size_t level = 0; level + 1 < path.size() && menu; ++level)
    menu = GetSubMenu(menu, path[level]);
  if (!menu)
    return;
  ::EnableMenuItem(menu, static_cast<UINT>(path.back()),
                   MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window_);
}

void Win32ConverterDialog::CheckMenuItem(int command, bool checked) {
  if (HMENU menu = GetMenu(window_))
    ::CheckMenuItem(menu, static_cast<UINT>(command),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Radio by radio rather than by an id range: the document-kind group 1010, 1011, 1013 has the
// push button 1012 between its ids.
void Win32ConverterDialog::CheckRadio(std::span<const int> group, int index) {
  for (size_t radio = 0; radio < group.size(); ++radio)
    CheckDlgButton(window_, group[radio],
                   static_cast<int>(radio) == index ? BST_CHECKED : BST_UNCHECKED);
}

int Win32ConverterDialog::CheckedRadio(std::span<const int> group) const {
  for (size_t radio = 0; radio < group.size(); ++radio) {
    if (IsDlgButtonChecked(window_, group[radio]) == BST_CHECKED)
      return static_cast<int>(radio);
  }
  return -1;
}

// The tooltip control shows the text over the control by itself: it watches the control's mouse
// messages, which relays them as the window's pre-translation would.
void Win32ConverterDialog::AddTooltip(int id, const std::string& text) {
  HWND control = GetDlgItem(window_, id);
  if (!tooltips_ || !control)
    return;
  std::wstring wide = WideFromCp1251(text);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32ConverterDialog::SetCaption(const std::string& caption) {
  SetWindowTextW(window_, WideFromCp1251(caption).c_str());
}

// A change of the window's width makes it (through WM_SIZE) lay its table out again.
void Win32ConverterDialog::ResizeWidth(int delta) {
  RECT frame;
  if (!GetWindowRect(window_, &frame))
    return;
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + delta, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32ConverterDialog::CloseWindow(int result) {
  EndDialog(window_, result);
}

void Win32ConverterDialog::RedrawTable() {
  if (grid_)
    grid_->Refresh();
}

// A fresh image list each time; the old one goes once the grid no longer draws with it.
void Win32ConverterDialog::AttachMarkImages() {
  HIMAGELIST images = LoadMarkImages(module_);
  if (!images)
    return;
  if (grid_)
    grid_->SetImageList(images);
  if (marks_)
    ImageList_Destroy(marks_);
  marks_ = images;
}

MessageAnswer Win32ConverterDialog::ShowMessage(const MessageRequest& message) {
  const UINT style = message.buttons == MessageButtons::kYesNo ? MB_YESNO | MB_ICONQUESTION
                                                               : MB_OK | MB_ICONWARNING;
  const int answer = MessageBoxW(window_, WideFromCp1251(message.text).c_str(),
                                 WideFromCp1251(message.caption).c_str(), style);
  switch (answer) {
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    default:
      return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
}

// The chosen file's folder becomes the current folder, where the user's next report or table is
// looked for. Windows' dialog does that by itself when the user moves between folders, but not
// always for a full path typed into it, so the view sees to it.
std::optional<std::string> Win32ConverterDialog::ChooseFile(const FileDialogRequest& request) {
  std::vector<wchar_t> file(kFileBufferChars, L'\0');
  const std::wstring initial = WidePath(request.initial_name);
  initial.copy(file.data(), std::min<size_t>(initial.size(), file.size() - 1));
  const std::wstring filter = FilterList(request.filter);
  const std::wstring extension = WideFromCp1251(request.default_extension);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kFileBufferChars;
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = FileDialogFlags(request);
  const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen)
    return std::nullopt;
  if (dialog.nFileOffset > 0) {
    const std::wstring folder(file.data(), dialog.nFileOffset);
    SetCurrentDirectoryW(folder.c_str());
  }
  ShowBusyAfterDialog();
  return Utf8PathFromWide(file.data());
}

// What the file dialog covered is drawn again at once, and the wait cursor shows, before the
// window reads or writes the chosen file: a report of a million components takes seconds, and a
// half-drawn window without a sign of work looks hung. The window's message loop puts the arrow
// back when it next runs (WM_SETCURSOR).
void Win32ConverterDialog::ShowBusyAfterDialog() {
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

// The help window has no owner, so it stays open beside the converter window and after it.
void Win32ConverterDialog::ShowHelp(const std::string& help_path) {
  ShowHtmlHelp(nullptr, help_path);
}

// The dialog edits the library's templates in place and writes their file at its OK.
void Win32ConverterDialog::ShowTemplatesDialog() {
  templates::RunTemplatesDialog(module_, window_,
                                {state_.field_templates, state_.attributes.names, context_.command,
                                 context_.library_folder, context_.help_path});
}

void Win32ConverterDialog::ShowAttributeTemplatesDialog(pdm::TemplateMode mode) {
  if (show_attribute_templates_)
    show_attribute_templates_(window_, mode);
}

bool Win32ConverterDialog::ShowSettingsDialog() {
  return RunSettingsDialog(module_, window_, context_.library_folder, context_.help_path) == IDOK;
}

// The dialog is owned by this window and sends it its steps; a match it shows stays highlighted
// in the table while the dialog is open.
void Win32ConverterDialog::ShowReplaceTextDialog() {
  Win32ReplaceTextDialog dialog(module_, window_, state_.replace_state, state_.attributes.names,
                                context_.library_folder);
  dialog.Run();
  RedrawTable();
}

}  // namespace zuro::converter
