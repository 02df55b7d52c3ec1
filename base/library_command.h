// The library's commands: the number the host hands the library's entry from its menu, one per
// CAD system whose bill-of-materials report a window reads. The number also chooses the field
// templates file and, among the Protel family, the reader.
#pragma once

#include <cstdint>

namespace zuro {

enum class LibraryCommand : int32_t {
  kNone = 0,
  kPcad = 1,
  kOrcad = 2,
  kProtel = 3,
  kAltiumDesigner = 4,
  kMentor = 5,
  kAllegro = 6,
};

}  // namespace zuro
