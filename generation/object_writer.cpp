#include "generation/object_writer.h"

#include <algorithm>
#include <utility>

#include "base/leading_numbers.h"

namespace zuro::generation {

namespace {
constexpr int32_t kLineRecordInit = 6;
constexpr int32_t kItemRecordInit = 11;
}  // namespace

int32_t ColumnInteger(std::string_view text) {
  const int64_t value = LeadingInteger(text);
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

const char* ListStyleLibrary(bool vector_device) {
  return vector_device ? "zURO_vc.lyt" : "zURO_gr.lyt";
}

// The editor comes from the graphic document when the host has one open, else from the
// specification document the command works on; the records and the first array are made before
// anything is created, so that an object is either written with its columns or not at all.
ObjectWriter::ObjectWriter(const DocumentTarget& target) : application_(target.application) {
  editor_ =
      target.graphic_document ? target.graphic_document.Editor() : target.spec_document.Editor();
  Prepare();
}

ObjectWriter::ObjectWriter(automation::ZentarObject& application, automation::SpecEditor editor)
    : application_(application), editor_(std::move(editor)) {
  Prepare();
}

void ObjectWriter::Prepare() {
  line_ = application_.NewParamRecord(automation::kTextLineRecord);
  item_ = application_.NewParamRecord(automation::kTextItemRecord);
  array_ = application_.NewDynArray(automation::kDynArrayOfItems);
  ready_ = editor_ && line_ && item_ && array_;
  if (!ready_)
    return;
  line_.Initialise(kLineRecordInit);
  item_.Initialise(kItemRecordInit);
  line_.AttachArray(array_);
}

int32_t ObjectWriter::Create(const std::string& library, int32_t style, int32_t section) {
  return ready_ ? editor_.CreateObject(library, style, section) : 0;
}

// Every column after the first gets an array of its own, which the line record then holds.
void ObjectWriter::NextColumn() {
  if (columns_++ == 0)
    return;
  array_ = application_.NewDynArray(automation::kDynArrayOfItems);
  line_.AttachArray(array_);
}

void ObjectWriter::SetColumn(int32_t column, int16_t value_type) {
  array_.Append(item_);
  editor_.SetColumn(column, line_, value_type);
}

void ObjectWriter::SetText(int32_t column, const std::string& text) {
  NextColumn();
  item_.SetText(text);
  SetColumn(column, automation::kColumnText);
}

void ObjectWriter::SetInteger(int32_t column, int32_t value) {
  NextColumn();
  item_.SetInteger(value);
  SetColumn(column, automation::kColumnInteger);
}

void ObjectWriter::SetReal(int32_t column, double value) {
  NextColumn();
  item_.SetReal(value);
  SetColumn(column, automation::kColumnReal);
}

int32_t ObjectWriter::Finish() {
  return ready_ ? editor_.Finish() : 0;
}

}  // namespace zuro::generation
