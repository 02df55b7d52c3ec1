// The templates dialog on the screen: dialog 1002 of the library's resources. TemplatesDialog
// decides everything; the view it shares with the PDM attribute templates dialog
// (template_lists_view_win32.h) turns the dialog's messages into its events.
#pragma once

#include <windows.h>

#include "templates/templates_dialog.h"

namespace zuro::templates {

// Shows the dialog modally, owned by `owner`, until it closes. `module` holds the dialog resource
// (the library's own module, never the host program's). IDOK or IDCANCEL, or -1 when the dialog
// could not be made.
INT_PTR RunTemplatesDialog(HINSTANCE module, HWND owner, const TemplatesDialogSetup& setup);

}  // namespace zuro::templates
