// OLE drag and drop of cell texts: a drop target that pastes dropped text at the cell under the
// pointer, and the drag of the selected cells' text out of a grid.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

#include "automation/com_object_win32.h"

namespace zuro::grid {

class CGridCtrl;

class GridDropTarget : public ComObject<IDropTarget, &IID_IDropTarget> {
 public:
  explicit GridDropTarget(CGridCtrl* grid) : grid_(grid) {}

  STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

 private:
  DWORD EffectAt(POINTL point) const;

  CGridCtrl* grid_;
  bool has_text_ = false;
};

// Runs the OLE drag loop with `text` offered as CF_UNICODETEXT; returns the drop effect.
DWORD DragText(const std::wstring& text);

}  // namespace zuro::grid
