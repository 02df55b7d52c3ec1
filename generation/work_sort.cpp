#include "generation/work_sort.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/text_edit.h"
#include "base/leading_numbers.h"

namespace zuro::generation {

namespace {

// Powers and voltages this close are one value: reports write 0.25 and 0.2505 for the same part.
constexpr double kSameRating = 0.001;

// The work tables of the four levels.
constexpr const char* kTableNames[] = {"names1", "names2", "names3", "names4"};

// A rating written with a decimal comma reads as with a point.
double RatingValue(std::string_view text) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos)
    return LeadingReal(text);
  std::string with_points(text);
  ReplaceAll(with_points, ",", ".");
  return LeadingReal(with_points);
}

// A number that is not one is stored as NULL, which reads back as 0: so the levels below names1
// saw it, and so the sort sees it.
double AsStored(double number) {
  return std::isnan(number) ? 0 : number;
}

}  // namespace

// The attribute names, in the order of SortAttributes' fields.
constexpr const char* kSortAttributeNames[] = {"Nominal",  "Unit", "TypeElement", "Name",
                                               "Specific", "Volt", "Watt"};

SortAttributeColumns::SortAttributeColumns(const std::vector<std::string>& attribute_names) {
  for (size_t k = 0; k < std::size(kSortAttributeNames); ++k) {
    columns_[k] = -1;
    for (size_t i = 0; i < attribute_names.size(); ++i) {
      if (attribute_names[i] == kSortAttributeNames[k])
        columns_[k] = static_cast<int>(i) + 1;
    }
  }
}

SortAttributes SortAttributeColumns::Read(const table::GridModel& table, int row) const {
  SortAttributes read;
  ReadInto(table, row, read);
  return read;
}

void SortAttributeColumns::ReadInto(const table::GridModel& table,
                                    int row,
                                    SortAttributes& read) const {
  std::string* const texts[] = {&read.nominal,  &read.unit, &read.type, &read.name,
                                &read.specific, &read.volt, &read.watt};
  for (size_t k = 0; k < std::size(texts); ++k) {
    if (columns_[k] >= 0)
      texts[k]->assign(table.ItemText(row, columns_[k]));
    else
      texts[k]->clear();
  }
}

SortAttributes ReadSortAttributes(const table::GridModel& table,
                                  const readers::ReportAttributes& attributes,
                                  int row) {
  return SortAttributeColumns(attributes.names).Read(table, row);
}

WorkRecord SortKeys(SortAttributes attributes) {
  WorkRecord record;
  SetSortKeys(attributes, record);
  return record;
}

void SetSortKeys(const SortAttributes& attributes, WorkRecord& record) {
  record.unit.assign(attributes.unit);
  record.value = ScaledNominal(attributes.nominal, record.unit);
  record.pattern.assign(attributes.type);
  record.component.assign(attributes.type).append(" ").append(attributes.name);
  record.volt = RatingValue(attributes.volt);
  record.watt = RatingValue(attributes.watt);
}

double ScaledNominal(std::string_view nominal, std::string& unit) {
  if (nominal.empty())
    return 0;
  std::string text(nominal);
  ReplaceAll(text, ",", ".");
  const double v = LeadingReal(text);
  double value = v;
  // The tests run in this order, each on the unit as the earlier ones left it: "мк" is emptied
  // so that it is not taken for milli afterwards.
  if (unit.starts_with("М"))
    value = v * 1000000;
  if (unit.starts_with("к"))
    value = v * 1000;
  if (unit.starts_with("мк")) {
    value = v * 0.000001;
    unit.clear();
  }
  if (unit.starts_with("м"))
    value = v * 0.001;
  if (unit.starts_with("н"))
    value = v * 0.000000001;
  if (unit.starts_with("п"))
    value = v * 0.000000000001;
  return value;
}

bool WorkSort::Open(const std::string& library_folder) {
  texts_.clear();
  kept_.clear();
  stored_ = false;
  run_kept_ = true;
  if (!database_.Open(library_folder))
    return Failed(database_.LastError());
  for (const char* name : kTableNames) {
    auto table = std::make_unique<WorkTable>(database_);
    if (!table->Open(name) || !table->Empty())
      return Failed(table->LastError());
    tables_.push_back(std::move(table));
  }
  return true;
}

bool WorkSort::Failed(const std::string& text) {
  last_error_ = text;
  sound_ = false;
  return false;
}

bool WorkSort::Add(const WorkRecord& record) {
  if (!IsOpen())
    return false;
  const std::pair<const std::string*, uint32_t Kept::*> texts[] = {
      {&record.name, &Kept::name},     {&record.component, &Kept::component},
      {&record.doc, &Kept::doc},       {&record.count, &Kept::count},
      {&record.refdes, &Kept::refdes}, {&record.pattern, &Kept::pattern},
      {&record.unit, &Kept::unit}};
  size_t size = 0;
  for (const auto& [text, length] : texts)
    size += text->size();
  if (texts_.empty() || texts_.back().size() + size > texts_.back().capacity()) {
    texts_.emplace_back();
    texts_.back().reserve(std::max(kTextBlock, size));
  }
  std::string& block = texts_.back();
  Kept kept;
  kept.block = static_cast<uint32_t>(texts_.size() - 1);
  kept.offset = static_cast<uint32_t>(block.size());
  for (const auto& [text, length] : texts) {
    block += *text;
    kept.*length = static_cast<uint32_t>(text->size());
  }
  kept.value = record.value;
  kept.volt = record.volt;
  kept.watt = record.watt;
  kept_.push_back(kept);
  stored_ = false;
  return true;
}

// The fields are bound as the record was added: a number that is none is stored as NULL.
bool WorkSort::Store() {
  WorkTable& names1 = *tables_[0];
  for (const Kept& kept : kept_) {
    std::string_view texts[7];
    const std::string_view all = Texts(kept);
    size_t at = 0;
    const uint32_t lengths[] = {kept.name,   kept.component, kept.doc, kept.count,
                                kept.refdes, kept.pattern,   kept.unit};
    for (size_t k = 0; k < std::size(texts); ++k) {
      texts[k] = all.substr(at, lengths[k]);
      at += lengths[k];
    }
    const auto& [name, component, doc, count, refdes, pattern, unit] = texts;
    const WorkTable::FieldValue fields[] = {
        {"name", &name, 0},
        {"pattern", &pattern, 0},
        {"component", &component, 0},
        {"doc", &doc, 0},
        {"value", nullptr, kept.value},
        {"unit", &unit, 0},
        {"count", &count, 0},
        {"refdes", &refdes, 0},
        {"volt", nullptr, kept.volt},
        {"watt", nullptr, kept.watt},
    };
    if (!names1.AddRecord(fields))
      return Failed(names1.LastError());
  }
  stored_ = true;
  return true;
}

std::string_view WorkSort::Texts(const Kept& kept) const {
  return std::string_view(texts_[kept.block]).substr(kept.offset);
}

std::string_view WorkSort::Component(const Kept& kept) const {
  return Texts(kept).substr(kept.name, kept.component);
}

// The record is filled in place: its texts keep their storage from one record to the next.
void WorkSort::Visited(const Kept& kept, WorkRecord& record) const {
  std::string_view texts = Texts(kept);
  const auto next = [&](std::string& text, uint32_t length) {
    text.assign(texts.substr(0, length));
    texts.remove_prefix(length);
  };
  next(record.name, kept.name);
  next(record.component, kept.component);
  next(record.doc, kept.doc);
  next(record.count, kept.count);
  next(record.refdes, kept.refdes);
  record.value = AsStored(kept.value);
  record.volt = AsStored(kept.volt);
}

bool WorkSort::Walk(const std::function<void(const WorkRecord&)>& visit) {
  if (!sound_ || !IsOpen() || (!stored_ && !Store()))
    return false;
  VisitInOrder(visit);
  return true;
}

// The thread storing and the walk only read the copies; the database is the storing thread's
// alone until it ends.
bool WorkSort::WalkWhileStoring(const std::function<void(const WorkRecord&)>& visit) {
  if (!sound_ || !IsOpen())
    return false;
  bool stored = stored_;
  std::thread storing;
  if (!stored) {
    storing = std::thread([this, &stored] {
      try {
        stored = Store();
      } catch (const std::exception& e) {
        stored = Failed(e.what());
      }
      tables_.clear();
      run_kept_ = database_.Close();
      if (stored && !run_kept_)
        last_error_ = database_.LastError();
    });
  }
  try {
    VisitInOrder(visit);
  } catch (...) {
    if (storing.joinable())
      storing.join();
    throw;
  }
  if (storing.joinable())
    storing.join();
  return stored;
}

// Records run together while their component is the same text byte for byte (compared as the
// database compares BLOBs); each run is sorted again by power, voltage and value. A large board
// has a hundred parts for every component or so: the distinct components are sorted, and the
// records placed after them, each component's in the order they were added.
void WorkSort::VisitInOrder(const std::function<void(const WorkRecord&)>& visit) const {
  // Each record's component as a number, the components numbered in the order first met.
  std::unordered_map<std::string_view, uint32_t> numbers;
  std::vector<std::string_view> components;
  std::vector<uint32_t> number_of(kept_.size());
  for (size_t i = 0; i < kept_.size(); ++i) {
    const auto [at, added] =
        numbers.try_emplace(Component(kept_[i]), static_cast<uint32_t>(components.size()));
    if (added)
      components.push_back(at->first);
    number_of[i] = at->second;
  }
  std::vector<uint32_t> ranked(components.size());
  std::iota(ranked.begin(), ranked.end(), 0u);
  std::sort(ranked.begin(), ranked.end(),
            [&](uint32_t a, uint32_t b) { return components[a] < components[b]; });
  // Where each component's records begin in the order.
  std::vector<uint32_t> count(components.size());
  for (const uint32_t number : number_of)
    ++count[number];
  std::vector<uint32_t> next(components.size());
  uint32_t position = 0;
  for (const uint32_t number : ranked) {
    next[number] = position;
    position += count[number];
  }
  Order order(kept_.size());
  for (size_t i = 0; i < kept_.size(); ++i)
    order[next[number_of[i]]++] = static_cast<uint32_t>(i);
  WorkRecord record;
  auto run = order.begin();
  for (const uint32_t number : ranked) {
    SortRun(run, run + count[number], 1, visit, record);
    run += count[number];
  }
}

// One run of the level above, sorted by this level's key, records with equal keys keeping their
// order. Records run together while their key is within kSameRating of the run's first; the last
// level's records are visited in their order.
void WorkSort::SortRun(Order::iterator begin,
                       Order::iterator end,
                       size_t level,
                       const std::function<void(const WorkRecord&)>& visit,
                       WorkRecord& record) const {
  const auto key = [this, level](uint32_t index) {
    const Kept& kept = kept_[index];
    return AsStored(level == 1 ? kept.watt : level == 2 ? kept.volt : kept.value);
  };
  std::stable_sort(begin, end, [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
  if (level + 1 == kLevels) {
    for (auto it = begin; it != end; ++it) {
      Visited(kept_[*it], record);
      visit(record);
    }
    return;
  }
  for (auto run = begin; run != end;) {
    const double run_number = key(*run);
    // A record always starts its run, even one whose key matches no number (infinity).
    const auto run_end = std::find_if(std::next(run), end, [&](uint32_t index) {
      return !(std::fabs(key(index) - run_number) < kSameRating);
    });
    SortRun(run, run_end, level + 1, visit, record);
    run = run_end;
  }
}

bool WorkSort::Close() {
  tables_.clear();
  texts_ = {};
  kept_ = {};
  if (!database_.IsOpen())
    return run_kept_;
  return database_.Close();
}

}  // namespace zuro::generation
