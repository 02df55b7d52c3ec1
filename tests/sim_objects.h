// What a stand-in document's objects hold, as the generation tests read them.
#pragma once

#include <string>
#include <vector>

#include "standin/sim_host.h"

namespace zuro::testing_support {

// The objects of the document a library command wrote into; none when it wrote into none.
inline std::vector<standin::SimObject> WrittenObjects(const standin::SimHost& host) {
  const standin::SimDocument* document = host.TargetDocument();
  return document ? document->objects : std::vector<standin::SimObject>{};
}

// A column's text, "<none>" when the object has no such column.
inline std::string ColumnText(const standin::SimObject& object, int column) {
  for (const auto& value : object.columns) {
    if (value.column == column)
      return value.text;
  }
  return "<none>";
}

// A column's number, -1 when the object has no such column.
inline double ColumnNumber(const standin::SimObject& object, int column) {
  for (const auto& value : object.columns) {
    if (value.column == column)
      return value.number;
  }
  return -1;
}

}  // namespace zuro::testing_support
