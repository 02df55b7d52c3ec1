#include "automation/dispatch.h"

namespace zuro::automation {

Value Value::Object(DispatchRef v) {
  // A null interface is how the host says "no object"; keep it as Empty so callers test one thing.
  if (!v)
    return Value();
  return Value(std::move(v));
}

int32_t Value::AsInt() const {
  switch (type()) {
    case Type::Int16:
      return std::get<int16_t>(data_);
    case Type::Int32:
      return std::get<int32_t>(data_);
    case Type::Double:
      return static_cast<int32_t>(std::get<double>(data_));
    case Type::Bool:
      return std::get<zuro::automation::Bool>(data_).value ? 1 : 0;
    default:
      return 0;
  }
}

double Value::AsDouble() const {
  if (type() == Type::Double)
    return std::get<double>(data_);
  return AsInt();
}

const std::string& Value::AsText() const {
  static const std::string kNoText;
  if (type() == Type::Text)
    return std::get<std::string>(data_);
  return kNoText;
}

const DispatchRef& Value::AsObject() const {
  static const DispatchRef kNoObject;
  if (type() == Type::Object)
    return std::get<DispatchRef>(data_);
  return kNoObject;
}

Value DispatchHolder::Call(int32_t dispid, std::initializer_list<Value> args) const {
  if (!object_)
    return Value();
  return object_->Invoke(dispid, InvokeKind::Method,
                         std::span<const Value>(args.begin(), args.size()));
}

Value DispatchHolder::Get(int32_t dispid) const {
  if (!object_)
    return Value();
  return object_->Invoke(dispid, InvokeKind::Get, {});
}

void DispatchHolder::Put(int32_t dispid, Value value) const {
  if (!object_)
    return;
  object_->Invoke(dispid, InvokeKind::Put, std::span<const Value>(&value, 1));
}

}  // namespace zuro::automation
