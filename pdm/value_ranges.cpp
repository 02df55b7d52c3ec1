#include "pdm/value_ranges.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "pdm/line_pieces.h"
#include "base/leading_numbers.h"

namespace zuro::pdm {

namespace {

constexpr float kSameValue = 0.0001f;
// How close a nominal must be to a series value to be that value when the centre is chosen, and
// when the shares are spread.
constexpr float kNominalIsCentre = 0.001f;
constexpr float kNominalInSeries = 0.01f;
constexpr float kSmallestShare = 0.01f;
constexpr float kTotalTolerance = 0.001f;
constexpr float kNoShare = 0.00001f;
// The spreading halves the difference at least with each pass; this bound is never reached by a
// sound range and only guards against numbers no series holds (infinities, NaN).
constexpr int kMostSpreadingPasses = 200;

std::string WithoutSpaces(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c != ' ')
      out += c;
  }
  return out;
}

std::string_view Trimmed(std::string_view text) {
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos)
    return {};
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

// A list must not end with ";"; a trailing or doubled ";" would otherwise read as the value 0,
// which is no series value and would put every range outside the series.
ValueSeries ParseSeries(std::string_view list) {
  ValueSeries series;
  for (const std::string_view piece : SplitAt(list, ';')) {
    const std::string_view text = Trimmed(piece);
    if (!text.empty())
      series.push_back({DecimalValue(text), std::string(text)});
  }
  return series;
}

bool SameValue(float a, float b) {
  return std::fabs(a - b) < kSameValue;
}

// A range written across a change of unit (470 Ом...2,2 кОм) has its upper bound below its lower
// one: it holds the values above the lower bound and those below the upper bound.
bool InsideRange(float v, const ValueRange& range) {
  if (SameValue(v, range.low) || SameValue(v, range.high))
    return true;
  if (v > range.low && v < range.high)
    return true;
  return range.high < range.low && (v > range.low || v < range.high);
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (const std::string_view word : SplitAt(text, ' ')) {
    if (!word.empty())
      words.push_back(word);
  }
  return words;
}

float NormalDensity(float distance, float sigma) {
  const double d = distance;
  const double s = sigma;
  return static_cast<float>(std::exp(-d * d / (2 * s * s)) / (s * std::sqrt(2 * std::numbers::pi)));
}

float SumOfShares(const std::vector<RangeMember>& members) {
  float total = 0;
  for (const RangeMember& member : members)
    total += member.share;
  return total;
}

size_t NearestMember(const std::vector<RangeMember>& members, float nominal) {
  size_t nearest = 0;
  float best = INFINITY;
  for (size_t j = 0; j < members.size(); ++j) {
    const float distance = std::fabs(members[j].value - nominal);
    if (distance <= best) {
      best = distance;
      nearest = j;
    }
  }
  return nearest;
}

}  // namespace

float DecimalValue(std::string_view text) {
  std::string dotted(text);
  for (char& c : dotted) {
    if (c == ',')
      c = '.';
  }
  return static_cast<float>(LeadingReal(dotted));
}

SeriesTable SeriesTable::Read(const std::string& library_folder) {
  const std::optional<std::vector<std::string>> lines =
      ReadLinePieces(library_folder + kSeriesFile, kSeriesLineLength);
  return lines ? FromLines(*lines) : SeriesTable{};
}

// A later line of the same name replaces an earlier one.
SeriesTable SeriesTable::FromLines(const std::vector<std::string>& lines) {
  SeriesTable table;
  for (const std::string& line : lines) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      table.series_[WithoutSpaces(line.substr(0, equals))] = ParseSeries(SecondPiece(line, '='));
  }
  return table;
}

const ValueSeries* SeriesTable::Find(std::string_view name) const {
  const auto found = series_.find(WithoutSpaces(name));
  return found == series_.end() ? nullptr : &found->second;
}

// The units stand in the words around "...": the second word holds the lower unit before the
// dots, the third word is the upper unit. A range in brackets names none.
ValueRange ReadValueRange(std::string_view text) {
  ValueRange range;
  if (text.size() < 2)
    return range;
  if (text.front() == '(' || text.front() == '<') {
    text.remove_prefix(1);
  } else {
    const std::vector<std::string_view> words = Words(text);
    if (words.size() > 1)
      range.lower_unit = words[1].substr(0, words[1].find('.'));
    if (words.size() > 2)
      range.upper_unit = words[2];
  }
  const size_t dots = text.find("...");
  if (dots == std::string_view::npos)
    return range;
  range.has_bounds = true;
  range.low = DecimalValue(text.substr(0, dots));
  range.high = DecimalValue(text.substr(dots + 3));
  return range;
}

std::vector<RangeMember> RangeMembers(const ValueSeries& series, const ValueRange& range) {
  std::vector<RangeMember> members;
  if (!range.has_bounds || series.empty())
    return members;
  if (series.front().value > range.low || series.back().value < range.high)
    return members;
  for (const SeriesValue& v : series) {
    if (members.size() == kMaxRangeMembers)
      break;
    if (InsideRange(v.value, range))
      members.push_back({v.value, v.text, 0});
  }
  return members;
}

// The distance of a member from the centre is counted in list places. A nominal between two
// series values puts the nearest of them one step away, so that it gets a share too. Each share
// is at least kSmallestShare before the shares are spread to add up to the total: 1 for up to ten
// members, 2 for more.
void ShareOut(std::vector<RangeMember>& members, float nominal, float sigma) {
  const size_t n = members.size();
  if (n == 0)
    return;
  if (!(sigma > 0) || !std::isfinite(sigma))
    sigma = 1;
  const size_t centre = NearestMember(members, nominal);
  const float off_centre = std::fabs(members[centre].value - nominal);
  float total = 0;
  size_t shared = 0;
  for (size_t j = 0; j < n; ++j) {
    float distance = std::fabs(static_cast<float>(j) - static_cast<float>(centre));
    if (j == centre && off_centre > kNominalIsCentre)
      distance = 1;
    members[j].share = 0;
    if (distance > kSameValue) {
      members[j].share = std::max(NormalDensity(distance, sigma), kSmallestShare);
      ++shared;
      total += members[j].share;
    }
  }
  const float target = n <= 10 ? 1.0f : 2.0f;
  const bool centre_is_nominal = off_centre <= kNominalInSeries;
  // A range whose only member is the nominal itself has no member to give the total to: it
  // gets no share and so no line of its own.
  if (n == 1 && centre_is_nominal) {
    members[0].share = 0;
  } else if (shared > 0) {
    float delta = (target - total) / static_cast<float>(shared);
    for (int pass = 0; std::fabs(total - target) > kTotalTolerance && pass < kMostSpreadingPasses;
         ++pass) {
      for (size_t j = 0; j < n; ++j)
        members[j].share = (j == centre && centre_is_nominal) ? 0 : members[j].share + delta;
      total = SumOfShares(members);
      delta = (target - total) / static_cast<float>(n);
    }
  }
  if (members[0].share < kNoShare)
    members[0].share = target;
}

}  // namespace zuro::pdm
