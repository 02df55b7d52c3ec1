// The host's automation objects over COM: a Dispatch that invokes an IDispatch interface.
#pragma once

#include <oaidl.h>

#include "automation/dispatch.h"

namespace zuro::automation {

// Takes over one reference of `object` (released with the returned holder); null gives null.
DispatchRef WrapIDispatch(IDispatch* object);
// The interface behind a Dispatch made by WrapIDispatch, or null.
IDispatch* UnwrapIDispatch(const DispatchRef& object);

// VARIANT conversions shared by the client and the stand-in host's server. A BSTR is made from
// code page 1251 and read back into it.
void ValueToVariant(const Value& value, VARIANT& variant);
// Objects of `variant` are wrapped with `wrap` (an AddRef'd interface is handed over).
Value VariantToValue(const VARIANT& variant, DispatchRef (*wrap)(IDispatch*));

}  // namespace zuro::automation
