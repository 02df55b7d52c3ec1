// A converter window on the screen: its dialog of the library's resources (1000 P-CAD / Mentor,
// 1003 OrCAD, 1005 Protel / Altium Designer / Cadence Allegro, 1006 the PDM window), with its
// grid, menu (1005, or 1006 for the PDM window), tooltips and mark images. The portable window
// decides everything; this view turns window messages into its events and carries out what it asks
// of the screen.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>

#include "converter/converter_window.h"
#include "converter/converter_ui.h"

namespace zuro::grid {
class CGridCtrl;
}

namespace zuro::converter {

class Win32ConverterDialog : public ConverterUi {
 public:
  // Makes the window this view shows, on the view as its screen; null when there is none.
  using WindowMaker = std::function<std::unique_ptr<ConverterWindow>(ConverterUi&)>;
  // Shows the attribute templates dialog of electrical items or assembly units, owned by the
  // view's window. Only the PDM window has one; whoever opens that window supplies it.
  using AttributeTemplatesShower = std::function<void(HWND owner, pdm::TemplateMode mode)>;

  // `module` holds the dialog, menu and bitmap resources, and the grid's window class must be
  // registered for it. The view shows the window `make` gives it.
  Win32ConverterDialog(HINSTANCE module,
                       automation::LibraryContext& context,
                       WindowState& state,
                       const WindowMaker& make,
                       AttributeTemplatesShower show_attribute_templates = {});
  ~Win32ConverterDialog() override;
  Win32ConverterDialog(const Win32ConverterDialog&) = delete;
  Win32ConverterDialog& operator=(const Win32ConverterDialog&) = delete;

  // Shows the window modally, with no owner, until it closes; its result, or -1 when there is no
  // window or it could not be made.
  INT_PTR Run();

  void EnableControl(int id, bool enabled) override;
  void EnableMenuItem(const MenuPath& path, bool enabled) override;
  void CheckMenuItem(int command, bool checked) override;
  void CheckRadio(std::span<const int> group, int index) override;
  int CheckedRadio(std::span<const int> group) const override;
  void AddTooltip(int id, const std::string& text) override;
  void SetCaption(const std::string& caption) override;
  void ResizeWidth(int delta) override;
  void CloseWindow(int result) override;
  void RedrawTable() override;
  void AttachMarkImages() override;
  MessageAnswer ShowMessage(const MessageRequest& message) override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  void ShowHelp(const std::string& help_path) override;
  void ShowTemplatesDialog() override;
  void ShowAttributeTemplatesDialog(pdm::TemplateMode mode) override;
  void ShowReplaceTextDialog() override;
  bool ShowSettingsDialog() override;

 private:
  void ShowBusyAfterDialog();
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnInitDialog();
  bool OnCommand(WPARAM wparam, LPARAM lparam);
  void FitTable();
  void CreateTooltips();

  HINSTANCE module_;
  automation::LibraryContext& context_;
  WindowState& state_;
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;
  HIMAGELIST marks_ = nullptr;
  grid::CGridCtrl* grid_ = nullptr;
  AttributeTemplatesShower show_attribute_templates_;
  std::unique_ptr<ConverterWindow> dialog_;
};

}  // namespace zuro::converter
