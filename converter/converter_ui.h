// The screen as the converter window's behaviour sees it: the few things the window does to its
// controls, menu and frame, and the answers it gets from the user. The Win32 view implements this
// port over dialog 1000 and menu 1005; tests and the command line implement it headlessly. Texts
// are code page 1251, as everywhere in the library, and file paths UTF-8; the view converts both
// at the Win32 call.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pdm/attribute_templates.h"

namespace zuro::converter {

// Controls of dialog 1000 and commands of menu 1005.
inline constexpr int kIdCreate = 1;   // "Создать" (the dialog's OK)
inline constexpr int kIdClose = 2;    // "Отмена" / "Выход" (the dialog's Cancel)
inline constexpr int kIdHelp = 1000;  // "Справка"
inline constexpr int kIdSelectAll = 1001;
inline constexpr int kIdClearAll = 1002;
inline constexpr int kIdTemplates = 1003;  // button "Шаблоны..."
inline constexpr int kIdReplace = 1004;
inline constexpr int kIdSpecRadio = 1010;
inline constexpr int kIdListRadio = 1011;
inline constexpr int kIdOpenReport = 1012;
inline constexpr int kIdPurchaseRadio = 1013;
inline constexpr int kIdGrid = 1015;
inline constexpr int kIdGraphicRadio = 1017;
inline constexpr int kIdVectorRadio = 1018;
inline constexpr int kIdSortByElementsRadio = 1021;
inline constexpr int kIdSortByGostRadio = 1022;
inline constexpr int kIdSaveTable = 1023;
inline constexpr int kIdOpenTable = 1024;
inline constexpr int kIdCreateSpec = 32777;
inline constexpr int kIdCreateListByElements = 32778;
inline constexpr int kIdCreatePurchased = 32779;
inline constexpr int kIdCreateListByGost = 32780;
inline constexpr int kIdTemplatesMenu = 32787;  // menu item "Шаблоны"
inline constexpr int kIdSettings = 32790;       // "Файл" → "Параметры...", the menu's last item

// The radio groups in the order of their values (the checked radio's index is the value).
inline constexpr int kDocumentKindRadios[] = {kIdSpecRadio, kIdListRadio, kIdPurchaseRadio};
inline constexpr int kOutputDeviceRadios[] = {kIdGraphicRadio, kIdVectorRadio};
inline constexpr int kSortModeRadios[] = {kIdSortByElementsRadio, kIdSortByGostRadio};

// A menu item by its positions: the first is the position on the menu bar, each further one the
// position inside the sub-menu reached so far.
using MenuPath = std::vector<int>;

// Menu 1005: "Настройка" and "Создать" on the bar, and inside "Создать" → "Объекты спецификации"
// the items "Перечень элементов" and "Ведомость покупных изделий".
inline const MenuPath kSettingsMenu = {1};
inline const MenuPath kCreateMenu = {2};
inline const MenuPath kCreateListMenu = {2, 0, 0};
inline const MenuPath kCreatePurchasedMenu = {2, 0, 2};

enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

struct MessageRequest {
  std::string text;
  std::string caption;  // empty for completion messages and questions
  MessageButtons buttons = MessageButtons::kOk;
};

struct FileDialogRequest {
  bool save = false;              // save dialog, else open dialog
  std::string default_extension;  // without the dot: "bom"
  std::string initial_name;       // file-name field at start: "*.bom" (UTF-8, a file name)
  std::string filter;             // in the "text|pattern|...||" form: "*.bom||"
  bool overwrite_prompt = false;
  bool hide_read_only = false;
};

class ConverterUi {
 public:
  virtual ~ConverterUi() = default;

  // Controls and menu.
  virtual void EnableControl(int id, bool enabled) = 0;
  // Greys (enabled false) or enables a menu item or a whole sub-menu; the view redraws the bar.
  virtual void EnableMenuItem(const MenuPath& path, bool enabled) = 0;
  virtual void CheckMenuItem(int command, bool checked) = 0;
  // Checks radio `index` of the group and clears the others.
  virtual void CheckRadio(std::span<const int> group, int index) = 0;
  // Index of the checked radio of the group, -1 when none is checked.
  virtual int CheckedRadio(std::span<const int> group) const = 0;
  // Adds a tooltip to a control; the first call creates the tooltip control.
  virtual void AddTooltip(int id, const std::string& text) = 0;

  // The window.
  virtual void SetCaption(const std::string& caption) = 0;
  // Makes the window `delta` pixels wider (negative: narrower), so that it lays its table out
  // again.
  virtual void ResizeWidth(int delta) = 0;
  virtual void CloseWindow(int result) = 0;

  // The component table: redraw it, and attach the mark images (empty and ticked check box) to
  // it again after the table was rebuilt.
  virtual void RedrawTable() = 0;
  virtual void AttachMarkImages() = 0;

  // The user.
  virtual MessageAnswer ShowMessage(const MessageRequest& message) = 0;
  // Why the report just refused was refused (the line and what was expected there). The window's
  // message box keeps its own text, so a window has nowhere to show it; the command line prints
  // it after the message.
  virtual void ExplainRefusal(const std::string& /*reason*/) {}
  // The chosen file's full path (UTF-8), or nothing when the dialog was cancelled.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
  // Shows the help file (a UTF-8 path) with the HTML help viewer, no owner window.
  virtual void ShowHelp(const std::string& help_path) = 0;
  // Shows the embedded templates dialog modally.
  virtual void ShowTemplatesDialog() = 0;
  // Shows the PDM window's attribute templates dialog modally, for the electrical items or the
  // assembly units. Only the PDM window asks for it.
  virtual void ShowAttributeTemplatesDialog(pdm::TemplateMode /*mode*/) {}
  // Shows the embedded replace-text dialog modally; its steps come back as OnReplaceStep.
  virtual void ShowReplaceTextDialog() = 0;
  // Shows the settings dialog modally; true when the designer pressed OK and the file was
  // written.
  virtual bool ShowSettingsDialog() = 0;
};

}  // namespace zuro::converter
