#include "converter/grid/grid_drag_drop_win32.h"

#include <shlobj.h>

#include <cstring>

#include "base/win32_text.h"
#include "converter/grid/grid_ctrl_win32.h"

namespace zuro::grid {

namespace {

FORMATETC TextFormat() {
  return {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool OffersText(IDataObject* data) {
  FORMATETC format = TextFormat();
  return data && data->QueryGetData(&format) == S_OK;
}

std::wstring TextOf(IDataObject* data) {
  FORMATETC format = TextFormat();
  STGMEDIUM medium{};
  if (!data || data->GetData(&format, &medium) != S_OK)
    return {};
  std::wstring text;
  if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal))) {
    text.assign(chars, wcsnlen(chars, GlobalSize(medium.hGlobal) / sizeof(wchar_t)));
    GlobalUnlock(medium.hGlobal);
  }
  ReleaseStgMedium(&medium);
  return text;
}

// The data of a drag out of the grid: one text, handed out as a fresh global block each time.
class TextDataObject : public ComObject<IDataObject, &IID_IDataObject> {
 public:
  explicit TextDataObject(std::wstring text) : text_(std::move(text)) {}

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK)
      return DV_E_FORMATETC;
    const size_t bytes = (text_.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
      return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(block), text_.c_str(), bytes);
    GlobalUnlock(block);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override {
    if (!format || format->cfFormat != CF_UNICODETEXT || !(format->tymed & TYMED_HGLOBAL) ||
        format->dwAspect != DVASPECT_CONTENT)
      return DV_E_FORMATETC;
    return S_OK;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out)
      out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (direction != DATADIR_GET)
      return E_NOTIMPL;
    FORMATETC format = TextFormat();
    return SHCreateStdEnumFmtEtc(1, &format, formats);
  }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::wstring text_;
};

class TextDropSource : public ComObject<IDropSource, &IID_IDropSource> {
 public:
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape)
      return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

// Text can be dropped on any cell the user could type into.
DWORD GridDropTarget::EffectAt(POINTL point) const {
  if (!has_text_)
    return DROPEFFECT_NONE;
  POINT client{point.x, point.y};
  ScreenToClient(grid_->GetSafeHwnd(), &client);
  const table::CellId cell = grid_->HitTest(client);
  return grid_->GetModel().IsCellEditable(cell.row, cell.col) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

STDMETHODIMP GridDropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
  has_text_ = OffersText(data);
  *effect = EffectAt(point);
  return S_OK;
}

STDMETHODIMP GridDropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
  *effect = EffectAt(point);
  return S_OK;
}

STDMETHODIMP GridDropTarget::DragLeave() {
  has_text_ = false;
  return S_OK;
}

// A drop is a paste at the cell under the pointer, which also becomes the focus cell.
STDMETHODIMP GridDropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
  has_text_ = OffersText(data);
  *effect = EffectAt(point);
  has_text_ = false;
  if (*effect == DROPEFFECT_NONE)
    return S_OK;
  POINT client{point.x, point.y};
  ScreenToClient(grid_->GetSafeHwnd(), &client);
  const table::CellId cell = grid_->HitTest(client);
  table::GridModel& model = grid_->GetModel();
  model.SetFocusCell(cell.row, cell.col);
  model.SetSelectedRange({cell.row, cell.col, cell.row, cell.col});
  table::PasteText(model, cell, Cp1251FromWide(TextOf(data).c_str()));
  return S_OK;
}

DWORD DragText(const std::wstring& text) {
  auto* data = new TextDataObject(text);
  auto* source = new TextDropSource();
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
  data->Release();
  source->Release();
  return effect;
}

}  // namespace zuro::grid
