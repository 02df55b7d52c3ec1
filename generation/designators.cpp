#include "generation/designators.h"

#include <array>

namespace zuro::generation {

namespace {

// The section of a designators text that does not start with an upper-case Latin letter.
constexpr int32_t kOtherSection = 200;

}  // namespace

// The section orders the objects of the list of elements by the class letter their designators
// start with. Only upper-case Latin letters have one of their own; N and O do not, and share the
// last section with everything else.
int32_t DesignatorSectionNoTrim(std::string_view designators) {
  static constexpr std::array<int32_t, 26> kSections = {1,
                                                        5,
                                                        10,
                                                        15,
                                                        20,
                                                        25,
                                                        30,
                                                        35,
                                                        36,
                                                        37,
                                                        40,
                                                        45,
                                                        50,  // A-M
                                                        kOtherSection,
                                                        kOtherSection,
                                                        55,
                                                        60,
                                                        65,
                                                        70,
                                                        75,
                                                        80,
                                                        85,
                                                        90,
                                                        95,
                                                        100,
                                                        105};  // N-Z
  if (designators.empty() || designators[0] < 'A' || designators[0] > 'Z')
    return kOtherSection;
  return kSections[designators[0] - 'A'];
}

int32_t DesignatorSection(std::string_view designators) {
  const size_t first = designators.find_first_not_of(' ');
  return DesignatorSectionNoTrim(first == std::string_view::npos ? std::string_view()
                                                                 : designators.substr(first));
}

}  // namespace zuro::generation
