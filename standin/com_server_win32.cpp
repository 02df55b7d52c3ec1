#include <windows.h>

#include <oleauto.h>

#include <vector>

#include "automation/com_object_win32.h"
#include "base/win32_text.h"
#include "automation/idispatch_win32.h"
#include "standin/com_server_win32.h"

namespace zuro::standin {

namespace {

using automation::AutomationError;
using automation::DispatchRef;
using automation::InvokeKind;
using automation::Value;

// Lets the server recognise its own objects when they come back as arguments.
// {6C1A3B52-8E0F-4D7A-9B61-3F2C5D0E7A11}
const IID IID_StandInObject = {0x6c1a3b52,
                               0x8e0f,
                               0x4d7a,
                               {0x9b, 0x61, 0x3f, 0x2c, 0x5d, 0x0e, 0x7a, 0x11}};

class ComServerObject : public ComObject<IDispatch, &IID_IDispatch> {
 public:
  explicit ComServerObject(DispatchRef object) : object_(std::move(object)) {}
  const DispatchRef& object() const { return object_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count)
      *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid,
                                   REFIID,
                                   LCID,
                                   WORD flags,
                                   DISPPARAMS* params,
                                   VARIANT* result,
                                   EXCEPINFO* exception,
                                   UINT*) override;

 private:
  bool AnswersInterface(REFIID iid) const override { return IsEqualIID(iid, IID_StandInObject); }

  DispatchRef object_;
};

// Arguments come last first; an object argument must be one of this server's objects.
DispatchRef UnwrapOwnObject(IDispatch* object) {
  ComServerObject* own = nullptr;
  DispatchRef result;
  if (SUCCEEDED(object->QueryInterface(IID_StandInObject, reinterpret_cast<void**>(&own)))) {
    result = own->object();
    own->Release();
  }
  object->Release();  // the reference VariantToValue handed over
  return result;
}

InvokeKind KindOf(WORD flags) {
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
    return InvokeKind::Put;
  if ((flags & DISPATCH_PROPERTYGET) && !(flags & DISPATCH_METHOD))
    return InvokeKind::Get;
  return InvokeKind::Method;
}

void ResultToVariant(const Value& value, VARIANT* result) {
  if (!result)
    return;
  if (value.type() == Value::Type::Object) {
    VariantInit(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = ExposeAsIDispatch(value.AsObject());
    return;
  }
  automation::ValueToVariant(value, *result);
}

HRESULT ComServerObject::Invoke(DISPID dispid,
                                REFIID,
                                LCID,
                                WORD flags,
                                DISPPARAMS* params,
                                VARIANT* result,
                                EXCEPINFO* exception,
                                UINT*) {
  const InvokeKind kind = KindOf(flags);
  const UINT count = params ? params->cArgs : 0;
  if (kind == InvokeKind::Put &&
      (!params || params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
    return DISP_E_PARAMNOTOPTIONAL;
  std::vector<Value> args;
  args.reserve(count);
  for (UINT i = 0; i < count; ++i)
    args.push_back(automation::VariantToValue(params->rgvarg[count - 1 - i], UnwrapOwnObject));
  try {
    ResultToVariant(object_->Invoke(dispid, kind, args), result);
    return S_OK;
  } catch (const AutomationError& error) {
    if (exception) {
      *exception = {};
      exception->scode = error.code() ? error.code() : E_FAIL;
      exception->bstrDescription = SysAllocString(WideFromCp1251(error.what()).c_str());
    }
    return DISP_E_EXCEPTION;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace

IDispatch* ExposeAsIDispatch(DispatchRef object) {
  if (!object)
    return nullptr;
  return new ComServerObject(std::move(object));
}

}  // namespace zuro::standin
