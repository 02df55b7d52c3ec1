#include "automation/host_objects.h"

#include "base/text_encoding.h"

namespace zuro::automation {

namespace {
Value ObjectOf(const HostObject& object) {
  return Value::Object(object.ref());
}
}  // namespace

int32_t DynArray::Append(const HostObject& item) {
  return holder().Call(7, {Value::Int32(-1), ObjectOf(item)}).AsInt();
}

bool ParamRecord::Initialise(int32_t dispid) {
  return holder().Call(dispid).AsBool();
}

ParamRecord ParamRecord::SubRecord() {
  return ParamRecord(holder().Call(2).AsObject());
}

bool ParamRecord::AttachArray(const DynArray& array) {
  return holder().Call(5, {ObjectOf(array)}).AsBool();
}

void ParamRecord::SetMode(int16_t value) {
  holder().Put(1, Value::Int16(value));
}

void ParamRecord::SetText(const std::string& value) {
  holder().Put(2, Value::Text(value));
}

void ParamRecord::SetScale(double value) {
  holder().Put(3, Value::Real(value));
}

void ParamRecord::SetInteger(int32_t value) {
  holder().Put(4, Value::Int32(value));
}

void ParamRecord::SetFlags(int32_t value) {
  holder().Put(5, Value::Int32(value));
}

void ParamRecord::SetReal(double value) {
  holder().Put(7, Value::Real(value));
}

std::string ParamRecord::ColumnName() {
  return holder().Get(5).AsText();
}

std::string ModelItem::Text() {
  return holder().Get(1).AsText();
}

int32_t ItemCollection::Count() {
  return holder().Call(2).AsInt();
}

ModelItem ItemCollection::Item(int32_t index) {
  return ModelItem(holder().Call(8, {Value::Int32(index)}).AsObject());
}

int32_t SpecEditor::CreateObject(const std::string& library, int32_t style, int32_t section) {
  return holder()
      .Call(3, {Value::Text(library), Value::Int32(style), Value::Int32(section), Value::Int32(0),
                Value::Real(0.0), Value::Int16(0)})
      .AsInt();
}

int32_t SpecEditor::SetColumn(int32_t column, const ParamRecord& line, int16_t value_type) {
  return holder()
      .Call(4, {Value::Int32(column), Value::Int32(1), ObjectOf(line), Value::Int16(value_type)})
      .AsInt();
}

int32_t SpecEditor::Finish() {
  return holder().Call(1).AsInt();
}

int32_t SpecEditor::Reopen(int32_t reference) {
  return holder().Call(2, {Value::Int32(reference)}).AsInt();
}

int32_t SpecEditor::ColumnCount(const std::string& library, int32_t style, int16_t part) {
  return holder().Call(18, {Value::Text(library), Value::Int32(style), Value::Int16(part)}).AsInt();
}

int32_t SpecEditor::DescribeColumn(int32_t reference, int32_t column, const ParamRecord& record) {
  return holder()
      .Call(19, {Value::Int32(reference), Value::Int32(column), ObjectOf(record)})
      .AsInt();
}

bool SpecEditor::LinkItem(const ModelItem& item, bool flag) {
  return holder().Call(26, {ObjectOf(item), Value::Boolean(flag)}).AsBool();
}

SpecEditor GraphicDocument::Editor() {
  return SpecEditor(holder().Call(177).AsObject());
}

SpecEditor ModelDocument::Editor() {
  return SpecEditor(holder().Call(13).AsObject());
}

ItemCollection ModelDocument::Items() {
  return ItemCollection(holder().Call(29, {Value::Boolean(true)}).AsObject());
}

bool ModelDocument::Enter() {
  return holder().Call(32).AsBool();
}

SpecEditor SpecDocument::Editor() {
  return SpecEditor(holder().Call(3).AsObject());
}

// The host knows texts in code page 1251 only: a character of the path that 1251 lacks reaches it
// as "?", and the host cannot find that file.
bool SpecDocument::Open(const std::string& utf8_path) {
  return holder().Call(12, {Value::Text(Cp1251FromUtf8Path(utf8_path)), Value::Int16(0)}).AsBool();
}

bool SpecDocument::SaveAs(const std::string& utf8_path) {
  return holder().Call(7, {Value::Text(Cp1251FromUtf8Path(utf8_path))}).AsBool();
}

bool SpecDocument::NoNameChosen() {
  return holder().Call(4).AsBool();
}

ModelDocument ZentarObject::ActiveModelDocument() {
  return ModelDocument(holder().Call(3).AsObject());
}

GraphicDocument ZentarObject::ActiveGraphicDocument() {
  return GraphicDocument(holder().Call(5).AsObject());
}

ParamRecord ZentarObject::NewParamRecord(int16_t type) {
  return ParamRecord(holder().Call(9, {Value::Int16(type)}).AsObject());
}

SpecDocument ZentarObject::NewSpecDocument() {
  return SpecDocument(holder().Call(10).AsObject());
}

SpecDocument ZentarObject::ActiveSpecDocument() {
  return SpecDocument(holder().Call(11).AsObject());
}

bool ZentarObject::SetHostInput(int32_t flag) {
  return holder().Call(14, {Value::Int32(flag)}).AsBool();
}

int32_t ZentarObject::GetHostState() {
  return holder().Call(15).AsInt();
}

DynArray ZentarObject::NewDynArray(int32_t type) {
  return DynArray(holder().Call(39, {Value::Int32(type)}).AsObject());
}

}  // namespace zuro::automation
