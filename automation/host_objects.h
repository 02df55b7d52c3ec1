// Named operations of the host's automation objects. Each wrapper holds one object (possibly
// none); an operation on an empty wrapper does nothing and gives an empty result.
#pragma once

#include <cstdint>
#include <string>

#include "automation/dispatch.h"

namespace zuro::automation {

class HostObject {
 public:
  HostObject() = default;
  explicit HostObject(DispatchRef object) : holder_(std::move(object)) {}
  bool empty() const { return holder_.empty(); }
  explicit operator bool() const { return !empty(); }
  const DispatchRef& ref() const { return holder_.get(); }
  void Release() { holder_.Release(); }

 protected:
  const DispatchHolder& holder() const { return holder_; }

 private:
  DispatchHolder holder_;
};

// Record types of ZentarObject::NewParamRecord.
enum ParamRecordType : int16_t {
  kCommandRecord = 6,
  kColumnRecord = 81,
  kTextItemRecord = 108,
  kTextLineRecord = 112,
};
constexpr int32_t kDynArrayOfItems = 23;

// The specification style's additional columns, found by their names in the first object a
// command writes: "БЦО" takes the designators, "Обозн_СТ" the standard, "PartLib" the part
// library id. A "БЦО" number of 0 or less means "look them up again".
struct SpecStyleColumns {
  int32_t bco = 0;
  int32_t standard = 0;
  int32_t part_library = 0;
};

// ColumnValueType: how SpecEditor::SetColumn reads the item record.
enum ColumnValueType : int16_t { kColumnInteger = 3, kColumnReal = 7, kColumnText = 8 };

class DynArray : public HostObject {
 public:
  using HostObject::HostObject;
  int32_t Append(const HostObject& item);  // DISPID 7 with index -1
};

class ParamRecord : public HostObject {
 public:
  using HostObject::HostObject;
  bool Initialise(int32_t dispid);          // DISPID 3, 6 or 11, by record kind
  ParamRecord SubRecord();                  // DISPID 2 (type 6 records)
  bool AttachArray(const DynArray& array);  // DISPID 5
  void SetMode(int16_t value);              // put 1
  void SetText(const std::string& value);   // put 2
  void SetScale(double value);              // put 3
  void SetInteger(int32_t value);           // put 4
  void SetFlags(int32_t value);             // put 5
  void SetReal(double value);               // put 7
  std::string ColumnName();                 // get 5
};

class ModelItem : public HostObject {
 public:
  using HostObject::HostObject;
  std::string Text();  // get 1
};

class ItemCollection : public HostObject {
 public:
  using HostObject::HostObject;
  int32_t Count();                // DISPID 2
  ModelItem Item(int32_t index);  // DISPID 8
};

class SpecEditor : public HostObject {
 public:
  using HostObject::HostObject;
  // DISPID 3; returns 0 when the host refused the object.
  int32_t CreateObject(const std::string& library, int32_t style, int32_t section);
  int32_t SetColumn(int32_t column, const ParamRecord& line, int16_t value_type);  // DISPID 4
  int32_t Finish();                                                                // DISPID 1
  int32_t Reopen(int32_t reference);                                               // DISPID 2
  int32_t ColumnCount(const std::string& library, int32_t style, int16_t part);    // DISPID 18
  int32_t DescribeColumn(int32_t reference, int32_t column, const ParamRecord& record);  // 19
  bool LinkItem(const ModelItem& item, bool flag);  // DISPID 26
};

class GraphicDocument : public HostObject {
 public:
  using HostObject::HostObject;
  SpecEditor Editor();  // DISPID 177
};

class ModelDocument : public HostObject {
 public:
  using HostObject::HostObject;
  SpecEditor Editor();     // DISPID 13
  ItemCollection Items();  // DISPID 29 with TRUE
  bool Enter();            // DISPID 32, called when the library takes the model document
};

class SpecDocument : public HostObject {
 public:
  using HostObject::HostObject;
  SpecEditor Editor();  // DISPID 3
  // The paths are UTF-8; the host takes them as code page 1251 texts.
  bool Open(const std::string& utf8_path);    // DISPID 12 with (path, 0)
  bool SaveAs(const std::string& utf8_path);  // DISPID 7
  bool NoNameChosen();                        // DISPID 4
};

class ZentarObject : public HostObject {
 public:
  using HostObject::HostObject;
  ModelDocument ActiveModelDocument();       // DISPID 3
  GraphicDocument ActiveGraphicDocument();   // DISPID 5
  ParamRecord NewParamRecord(int16_t type);  // DISPID 9
  SpecDocument NewSpecDocument();            // DISPID 10
  SpecDocument ActiveSpecDocument();         // DISPID 11
  bool SetHostInput(int32_t flag);           // DISPID 14
  int32_t GetHostState();                    // DISPID 15
  DynArray NewDynArray(int32_t type);        // DISPID 39
};

}  // namespace zuro::automation
