// The attribute templates dialog on the screen: dialog 1007 of the library's resources, shown by
// the PDM window's "Шаблоны ЭРИ..." and "Шаблоны СЕ..." after it has set the templates' mode.
#pragma once

#include <windows.h>

#include "converter/attribute_templates_dialog.h"

namespace zuro::converter {

// Shows the dialog modally, owned by `owner`, until it closes. `module` holds the dialog resource
// (the library's own module, never the host program's). IDOK or IDCANCEL, or -1 when the dialog
// could not be made.
INT_PTR RunAttributeTemplatesDialog(HINSTANCE module,
                                    HWND owner,
                                    const AttributeTemplatesDialogSetup& setup);

}  // namespace zuro::converter
