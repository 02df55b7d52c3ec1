// One object of the host's specification document, written the way the host takes it: an object
// of a style library's style in a section, then its columns one after another, each through a
// text-line record holding one text item.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/host_objects.h"

namespace zuro::generation {

// Where a run's objects go: the active graphic document when there is one, else the current
// specification document.
struct DocumentTarget {
  automation::ZentarObject& application;
  automation::GraphicDocument& graphic_document;
  automation::SpecDocument& spec_document;
};

class ObjectWriter {
 public:
  explicit ObjectWriter(const DocumentTarget& target);
  // Objects of a model document are written through the model's own editor.
  ObjectWriter(automation::ZentarObject& application, automation::SpecEditor editor);

  // False when one of the host objects a column needs could not be made: nothing is written.
  bool Ready() const { return ready_; }
  // Creates the object: the host's answer, 0 when it refused it.
  int32_t Create(const std::string& library, int32_t style, int32_t section);
  void SetText(int32_t column, const std::string& text);
  void SetInteger(int32_t column, int32_t value);
  void SetReal(int32_t column, double value);
  // Ends the object; the host gives back its reference.
  int32_t Finish();
  automation::SpecEditor& editor() { return editor_; }
  automation::ZentarObject& application() { return application_; }

 private:
  void Prepare();
  void NextColumn();
  void SetColumn(int32_t column, int16_t value_type);

  automation::ZentarObject& application_;
  automation::SpecEditor editor_;
  automation::ParamRecord line_;
  automation::ParamRecord item_;
  automation::DynArray array_;
  bool ready_ = false;
  int columns_ = 0;
};

// The integer a column takes from a count text, as atoi reads it, kept within 32 bits.
int32_t ColumnInteger(std::string_view text);

// The list-of-elements and purchased-items styles live in these libraries, by output device.
const char* ListStyleLibrary(bool vector_device);

}  // namespace zuro::generation
