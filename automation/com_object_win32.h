// The IUnknown part of the library's own small COM objects: one reference on creation, deleted
// with the last Release, answering IUnknown and the one interface it implements (and any further
// interface a derived object names in AnswersInterface).
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace zuro {

template <typename Interface, const IID* kInterfaceId>
class ComObject : public Interface {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object)
      return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *kInterfaceId) || AnswersInterface(iid)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
      delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;
  virtual bool AnswersInterface(REFIID) const { return false; }

 private:
  LONG references_ = 1;
};

}  // namespace zuro
