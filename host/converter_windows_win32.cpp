#include "host/converter_windows_win32.h"

#include <memory>

#include "converter/converter_dialog_win32.h"
#include "converter/grid/grid_ctrl_win32.h"
#include "converter/attribute_templates_dialog_win32.h"
#include "converter/pdm_converter_window.h"
#include "pdm/pdm_object_list.h"

namespace zuro::host {

// The dialog templates place their tables as controls of the grid's class, registered for this
// module before any of them is made.
void Win32ConverterWindows::Run(ConverterWindowKind kind,
                                LibraryContext& context,
                                WindowState& state) {
  grid::CGridCtrl::RegisterWindowClass(module_);
  converter::Win32ConverterDialog window(module_, context, state, [&](converter::ConverterUi& ui) {
    return converter::MakeConverterWindow(kind, context, state, ui);
  });
  window.Run();
}

// The object lines are composed by the library's attribute templates, which the window's
// templates dialog edits, with the value ranges of the adjustable components. The mode the
// dialog shows stays the templates' mode after it closes.
void Win32PdmWindows::Run(LibraryContext& context,
                          WindowState& state,
                          const std::string& report_path) {
  grid::CGridCtrl::RegisterWindowClass(module_);
  pdm::PdmObjectList lines(attribute_templates_);
  converter::Win32ConverterDialog window(
      module_, context, state,
      [&](converter::ConverterUi& ui) -> std::unique_ptr<converter::ConverterWindow> {
        return std::make_unique<converter::PdmConverterWindow>(context, state, ui, lines,
                                                               report_path);
      },
      [&](HWND owner, pdm::TemplateMode mode) {
        attribute_templates_.mode = mode;
        converter::RunAttributeTemplatesDialog(module_, owner,
                                               {attribute_templates_, state.attributes.names,
                                                context.library_folder, context.help_path});
      });
  window.Run();
}

}  // namespace zuro::host
