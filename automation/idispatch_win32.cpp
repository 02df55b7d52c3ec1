#include <windows.h>

#include <oleauto.h>

#include <vector>

#include "base/win32_text.h"
#include "automation/idispatch_win32.h"

namespace zuro::automation {

namespace {

class ComDispatch : public Dispatch {
 public:
  explicit ComDispatch(IDispatch* object) : object_(object) {}
  ~ComDispatch() override { object_->Release(); }
  ComDispatch(const ComDispatch&) = delete;
  ComDispatch& operator=(const ComDispatch&) = delete;

  IDispatch* object() const { return object_; }
  Value Invoke(int32_t dispid, InvokeKind kind, std::span<const Value> args) override;

 private:
  IDispatch* object_;
};

// Owns the VARIANTs of one call and clears them afterwards (BSTRs freed, interfaces released).
class VariantArgs {
 public:
  explicit VariantArgs(std::span<const Value> args) : variants_(args.size()) {
    // IDispatch::Invoke takes its arguments last first.
    for (size_t i = 0; i < args.size(); ++i)
      ValueToVariant(args[i], variants_[args.size() - 1 - i]);
  }
  ~VariantArgs() {
    for (VARIANT& v : variants_)
      VariantClear(&v);
  }
  VariantArgs(const VariantArgs&) = delete;
  VariantArgs& operator=(const VariantArgs&) = delete;
  VARIANTARG* data() { return variants_.empty() ? nullptr : variants_.data(); }
  UINT size() const { return static_cast<UINT>(variants_.size()); }

 private:
  std::vector<VARIANT> variants_;
};

std::string DescribeFailure(int32_t dispid, HRESULT hr, const EXCEPINFO& info) {
  std::string text = "automation call " + std::to_string(dispid) + " failed";
  if (info.bstrDescription)
    text += ": " + Cp1251FromWide(info.bstrDescription,
                                  static_cast<int>(SysStringLen(info.bstrDescription)));
  char code[16];
  wsprintfA(code, " (0x%08lX)", static_cast<unsigned long>(hr));
  return text + code;
}

Value ComDispatch::Invoke(int32_t dispid, InvokeKind kind, std::span<const Value> args) {
  VariantArgs variants(args);
  DISPPARAMS params = {variants.data(), nullptr, variants.size(), 0};
  DISPID put_name = DISPID_PROPERTYPUT;
  WORD flags = DISPATCH_METHOD;
  if (kind == InvokeKind::Get) {
    flags = DISPATCH_PROPERTYGET;
  } else if (kind == InvokeKind::Put) {
    // A property put names its value argument.
    flags = DISPATCH_PROPERTYPUT;
    params.rgdispidNamedArgs = &put_name;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info = {};
  UINT bad_argument = 0;
  const HRESULT hr =
      object_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                      kind == InvokeKind::Put ? nullptr : &result, &info, &bad_argument);
  if (FAILED(hr)) {
    const std::string what = DescribeFailure(dispid, hr, info);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    VariantClear(&result);
    throw AutomationError(what, hr);
  }
  Value value = VariantToValue(result, WrapIDispatch);
  VariantClear(&result);
  return value;
}

}  // namespace

DispatchRef WrapIDispatch(IDispatch* object) {
  if (!object)
    return nullptr;
  return std::make_shared<ComDispatch>(object);
}

IDispatch* UnwrapIDispatch(const DispatchRef& object) {
  const auto* com = dynamic_cast<const ComDispatch*>(object.get());
  return com ? com->object() : nullptr;
}

void ValueToVariant(const Value& value, VARIANT& variant) {
  VariantInit(&variant);
  switch (value.type()) {
    case Value::Type::Empty:
      break;
    case Value::Type::Int16:
      variant.vt = VT_I2;
      variant.iVal = static_cast<SHORT>(value.AsInt());
      break;
    case Value::Type::Int32:
      variant.vt = VT_I4;
      variant.lVal = value.AsInt();
      break;
    case Value::Type::Double:
      variant.vt = VT_R8;
      variant.dblVal = value.AsDouble();
      break;
    case Value::Type::Bool:
      variant.vt = VT_BOOL;
      variant.boolVal = value.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Value::Type::Text: {
      const std::wstring wide = WideFromCp1251(value.AsText());
      variant.vt = VT_BSTR;
      variant.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      break;
    }
    case Value::Type::Object: {
      IDispatch* object = UnwrapIDispatch(value.AsObject());
      if (!object)
        throw AutomationError("an object argument that is not an automation object");
      object->AddRef();
      variant.vt = VT_DISPATCH;
      variant.pdispVal = object;
      break;
    }
  }
}

Value VariantToValue(const VARIANT& variant, DispatchRef (*wrap)(IDispatch*)) {
  switch (variant.vt) {
    case VT_I2:
      return Value::Int16(variant.iVal);
    case VT_I4:
    case VT_INT:
      return Value::Int32(variant.lVal);
    case VT_UI1:
      return Value::Int32(variant.bVal);
    case VT_R8:
      return Value::Real(variant.dblVal);
    case VT_R4:
      return Value::Real(variant.fltVal);
    case VT_BOOL:
      return Value::Boolean(variant.boolVal != VARIANT_FALSE);
    case VT_BSTR:
      return Value::Text(
          Cp1251FromWide(variant.bstrVal, static_cast<int>(SysStringLen(variant.bstrVal))));
    case VT_DISPATCH:
      if (!variant.pdispVal)
        return Value();
      variant.pdispVal->AddRef();
      return Value::Object(wrap(variant.pdispVal));
    default:
      return Value();
  }
}

}  // namespace zuro::automation
