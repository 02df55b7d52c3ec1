// Portable view of the host's automation objects: an object is invoked by DISPID as a method, a
// property get or a property put, with a small set of value types. On Windows the objects are
// IDispatch interfaces (idispatch_win32.cpp); natively the stand-in host implements them directly.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace zuro::automation {

class Dispatch;
using DispatchRef = std::shared_ptr<Dispatch>;

enum class InvokeKind { Method, Get, Put };

// BOOL of the automation world; kept apart from the integers so that a BOOL argument is passed as
// VT_BOOL, never as a number.
struct Bool {
  bool value = false;
  bool operator==(const Bool&) const = default;
};

// One automation value. Texts are code page 1251 bytes; an empty object reference is Empty.
class Value {
 public:
  enum class Type { Empty, Int16, Int32, Double, Bool, Text, Object };

  Value() = default;
  static Value Int16(int16_t v) { return Value(v); }
  static Value Int32(int32_t v) { return Value(v); }
  static Value Real(double v) { return Value(v); }
  static Value Boolean(bool v) { return Value(zuro::automation::Bool{v}); }
  static Value Text(std::string v) { return Value(std::move(v)); }
  static Value Object(DispatchRef v);

  Type type() const { return static_cast<Type>(data_.index()); }
  bool IsEmpty() const { return type() == Type::Empty; }

  // Numeric reading of any numeric or BOOL value (0 for anything else), as a caller that only
  // tests a result for zero needs it.
  int32_t AsInt() const;
  double AsDouble() const;
  bool AsBool() const { return AsInt() != 0; }
  // The value held, with no copy: a host call passes texts and objects through several of these.
  const std::string& AsText() const;    // text value, "" for anything else
  const DispatchRef& AsObject() const;  // object value, null for anything else

  bool operator==(const Value&) const = default;

 private:
  template <typename T>
  explicit Value(T v) : data_(std::move(v)) {}

  std::variant<std::monostate,
               int16_t,
               int32_t,
               double,
               zuro::automation::Bool,
               std::string,
               DispatchRef>
      data_;
};

// Raised by a call that the host failed (a failed HRESULT, a missing member, a wrong argument).
class AutomationError : public std::runtime_error {
 public:
  explicit AutomationError(const std::string& what, long code = 0)
      : std::runtime_error(what), code_(code) {}
  long code() const { return code_; }

 private:
  long code_;
};

class Dispatch {
 public:
  virtual ~Dispatch() = default;
  // Arguments are given in the order of the call (first argument first). Throws AutomationError.
  virtual Value Invoke(int32_t dispid, InvokeKind kind, std::span<const Value> args) = 0;
};

// Holds one automation object; reassignment and destruction release the object held before.
class DispatchHolder {
 public:
  DispatchHolder() = default;
  explicit DispatchHolder(DispatchRef object) : object_(std::move(object)) {}

  bool empty() const { return object_ == nullptr; }
  explicit operator bool() const { return !empty(); }
  const DispatchRef& get() const { return object_; }
  void Release() { object_.reset(); }
  DispatchHolder& operator=(DispatchRef object) {
    object_ = std::move(object);
    return *this;
  }

  // A call on an empty holder does nothing; its result is Empty.
  Value Call(int32_t dispid, std::initializer_list<Value> args = {}) const;
  Value Get(int32_t dispid) const;
  void Put(int32_t dispid, Value value) const;

 private:
  DispatchRef object_;
};

}  // namespace zuro::automation
