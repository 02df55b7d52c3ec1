// Value ranges of adjustable components: the standard value series of bom.ini, the series values
// that lie inside a component's range, and the share of each value expected after adjustment.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zuro::pdm {

inline constexpr char kSeriesFile[] = "bom.ini";
// The longest piece of a bom.ini line read at once.
inline constexpr size_t kSeriesLineLength = 4499;
// A range takes part with at most this many series values, the first ones of the list.
inline constexpr size_t kMaxRangeMembers = 600;

struct SeriesValue {
  float value = 0;
  std::string text;  // as bom.ini writes it, with its decimal comma or point
};
using ValueSeries = std::vector<SeriesValue>;

// The series of bom.ini by name: lines SERIES=V1;V2;...;Vn, values ascending.
class SeriesTable {
 public:
  // An unreadable or missing file gives an empty table.
  static SeriesTable Read(const std::string& library_folder);
  static SeriesTable FromLines(const std::vector<std::string>& lines);

  // The series named `name` (spaces do not count); null when bom.ini lists none.
  const ValueSeries* Find(std::string_view name) const;

 private:
  std::map<std::string, ValueSeries, std::less<>> series_;
};

// A range text as the report writes it: "10 кОм...47 кОм", "470 Ом...2,2 кОм" or "(10...47)".
struct ValueRange {
  bool has_bounds = false;  // the text holds "..." and is at least two characters long
  float low = 0;
  float high = 0;
  std::string lower_unit;  // empty when the range names no units
  std::string upper_unit;
};
ValueRange ReadValueRange(std::string_view text);

struct RangeMember {
  float value = 0;
  std::string text;  // the series value's text
  float share = 0;   // expected part of the components that get this value
};

// The series values inside the range, in list order; none when the range leaves the series.
std::vector<RangeMember> RangeMembers(const ValueSeries& series, const ValueRange& range);

// Gives each member its share of a normal distribution around `nominal`, `sigma` series steps
// wide. The member nearest the nominal marks the centre; when it is the nominal itself it gets no
// share, and a first member without a share gets the whole total instead.
void ShareOut(std::vector<RangeMember>& members, float nominal, float sigma);

// A number written with a decimal comma or point, read as atof reads it.
float DecimalValue(std::string_view text);

}  // namespace zuro::pdm
