// OLE drag and drop of cell texts: a drop target that pastes dropped text at the cell under the
// pointer, and the drag of the selected cells' text out of a grid.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

namespace zuro::grid {

class CGridCtrl;

class GridDropTarget : public IDropTarget {
 public:
  explicit GridDropTarget(CGridCtrl* grid) : grid_(grid) {}
  virtual ~GridDropTarget() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

 private:
  DWORD EffectAt(POINTL point) const;

  CGridCtrl* grid_;
  LONG references_ = 1;
  bool has_text_ = false;
};

// Runs the OLE drag loop with `text` offered as CF_UNICODETEXT; returns the drop effect.
DWORD DragText(const std::wstring& text);

}  // namespace zuro::grid
