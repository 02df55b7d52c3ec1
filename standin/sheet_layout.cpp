// The sheets of the stand-in host's document page: which form a document is drawn on, the texts
// of its objects wrapped to the columns, the rows in the order the host lays them out, and the rows
// cut into sheets. The page itself (HTML and CSS) is sim_document_html.cpp's.
#include "standin/sheet_layout.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdio>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

#include "readers/designator_lists.h"

namespace zuro::standin {

namespace {

// The width of an average letter of a narrow face at the body text's size, taken a little
// generously so that the browser never wraps again a line the page has already wrapped.
constexpr double kLetterMm = kFontMm * 0.47;

}  // namespace

DocumentForm FormOf(const SimObject& object) {
  static const std::set<std::string> host_libraries = {"graphic.lyt", "vector.lyt", "zURO_gr.lyt",
                                                       "zURO_vc.lyt"};
  if (!host_libraries.contains(object.library))
    return DocumentForm::Other;
  switch (object.style) {
    case 1:
      return DocumentForm::Spec;
    case 3:
      return DocumentForm::List;
    case 11:
      return DocumentForm::Purchased;
  }
  return DocumentForm::Other;
}

const Form& ListForm() {
  static const Form form{"Перечень элементов",
                         false,
                         15,
                         1,
                         {{"Поз. обозна&shy;чение", 20, false},
                          {"Наименование", 110, false},
                          {"Кол.", 10, true},
                          {"Примечание", 45, false}}};
  return form;
}

const Form& PurchasedForm() {
  static const Form form{"Ведомость покупных изделий",
                         true,
                         25,
                         1,
                         {{"№ строки", 7, true, true},
                          {"Наименование", 60},
                          {"Код продукции", 25},
                          {"Обозначение документа на поставку", 40},
                          {"Поставщик", 36},
                          {"Куда входит (обозначение)", 32},
                          {"на изделие", 13, true, true, "Количество"},
                          {"в комплекты", 13, true, true, "Количество"},
                          {"на регули&shy;ровку", 13, true, true, "Количество"},
                          {"всего", 13, true, true, "Количество"},
                          {"Приме&shy;чание", 20}}};
  return form;
}

const Form& SpecForm() {
  static const Form form{"Спецификация",
                         false,
                         15,
                         4,
                         {{"Формат", 6, true, true},
                          {"Зона", 6, true, true},
                          {"Поз.", 8, true, true},
                          {"Обозначение", 70},
                          {"Наименование", 63},
                          {"Кол.", 10, true},
                          {"Приме&shy;чание", 22}}};
  return form;
}

double SheetWidth(const Form& form) {
  return form.landscape ? 297 : 210;
}

double SheetHeight(const Form& form) {
  return form.landscape ? 210 : 297;
}

double FrameHeight(const Form& form) {
  return SheetHeight(form) - 2 * kMarginMm;
}

int LinesOnSheet(const Form& form, double stamp_mm) {
  return static_cast<int>((FrameHeight(form) - form.header_mm - stamp_mm) / kLineMm);
}

namespace {

// Reals as the forms print them: no needless decimals, and a decimal comma.
std::string FormatReal(double number) {
  char buffer[64];
  if (!(std::fabs(number) < 1e15)) {
    std::snprintf(buffer, sizeof buffer, "%g", number);
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%.6f", number);
  std::string text = buffer;
  const size_t point = text.find_first_of(".,");  // the C library's decimal sign, whichever
  if (point != std::string::npos) {
    while (text.back() == '0')
      text.pop_back();
    if (text.size() == point + 1)
      text.pop_back();
    else
      text[point] = ',';
  }
  return text == "-0" ? "0" : text;
}

// The value last set in the column, or null.
const SimColumnValue* FindColumn(const SimObject& object, int32_t column) {
  const SimColumnValue* found = nullptr;
  for (const SimColumnValue& value : object.columns) {
    if (value.column == column)
      found = &value;
  }
  return found;
}

std::string ValueText(const SimColumnValue& value) {
  if (value.type == 8)
    return value.text;
  if (value.type == 3 && std::fabs(value.number) < 1e18)
    return std::to_string(static_cast<long long>(value.number));
  return FormatReal(value.number);
}

}  // namespace

std::string ColumnText(const SimObject& object, int32_t column) {
  const SimColumnValue* value = FindColumn(object, column);
  return value ? ValueText(*value) : std::string();
}

namespace {

// Breaks one line of text into lines of at most `room` letters: words go to the next line when
// the line is full; a word longer than a line breaks after its last ",", "." or "-" that fits
// ("VD10..." then "VD12"), else where the line ends.
void WrapLine(std::string_view line, size_t room, std::vector<std::string>& lines) {
  std::string current;
  size_t start = 0;
  while (start <= line.size()) {
    const size_t space = std::min(line.find(' ', start), line.size());
    std::string_view word = line.substr(start, space - start);
    start = space + 1;
    if (word.empty())
      continue;
    while (word.size() > room) {
      if (!current.empty())
        lines.push_back(std::move(current));
      current.clear();
      const size_t mark = word.find_last_of(",.-", room - 1);
      const size_t cut = mark == std::string_view::npos || mark == 0 ? room : mark + 1;
      lines.emplace_back(word.substr(0, cut));
      word.remove_prefix(cut);
    }
    if (current.empty()) {
      current = word;
    } else if (current.size() + 1 + word.size() <= room) {
      current += ' ';
      current += word;
    } else {
      lines.push_back(std::move(current));
      current = word;
    }
  }
  lines.push_back(std::move(current));
}

}  // namespace

std::vector<std::string> WrapText(std::string text, double width_mm) {
  std::vector<std::string> lines;
  std::erase(text, '\r');
  if (text.empty())
    return lines;
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\n')
      c = ' ';
  }
  const auto room = static_cast<size_t>(std::max(1.0, (width_mm - 2) / kLetterMm));
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    WrapLine(std::string_view(text).substr(start, end - start), room, lines);
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  return lines;
}

namespace {

FormRow ObjectRow(const Form& form, const SimObject& object) {
  FormRow row;
  for (size_t k = 0; k < form.columns.size(); ++k) {
    row.cells.push_back(
        WrapText(ColumnText(object, static_cast<int32_t>(k + 1)), form.columns[k].width_mm));
  }
  return row;
}

// A row with one text in the form's heading column.
FormRow TextRow(const Form& form, FormRow::Kind kind, const std::string& text) {
  FormRow row;
  row.kind = kind;
  row.cells.resize(form.columns.size());
  row.cells[form.heading_column] = WrapText(text, form.columns[form.heading_column].width_mm);
  return row;
}

// Where a list-of-elements object stands in the list: its section, then the class letters and
// the number of its first designator (C2 before C10, D5 before DA2).
struct ListPlace {
  int32_t section = 0;
  std::string prefix;
  int32_t number = 0;

  auto operator<=>(const ListPlace&) const = default;
};

ListPlace PlaceOf(const SimObject& object) {
  const std::string designators = ColumnText(object, 1);
  const std::string_view first =
      std::string_view(designators).substr(0, designators.find_first_of(".,"));
  return {object.section, readers::DesignatorPrefix(first), readers::DesignatorNumber(first)};
}

}  // namespace

// The host lays a list out by section and designator, whatever order the objects were made in:
// the rows a GOST split appends at the end of a run join their sections. Objects of one place
// keep the order they were made in.
std::vector<FormRow> ListRows(const std::vector<const SimObject*>& objects) {
  std::vector<std::pair<ListPlace, const SimObject*>> placed;
  for (const SimObject* object : objects)
    placed.emplace_back(PlaceOf(*object), object);
  std::stable_sort(placed.begin(), placed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<FormRow> rows;
  for (const auto& [place, object] : placed)
    rows.push_back(ObjectRow(ListForm(), *object));
  return rows;
}

namespace {

// The purchased-items list and the specification run section by section, each section under its
// heading; within a section the objects keep the order they came in. `object_rows` gives the rows
// of one object.
std::vector<FormRow> SectionRows(
    const Form& form,
    std::vector<const SimObject*> objects,
    const std::function<void(const SimObject&, std::vector<FormRow>&)>& object_rows) {
  std::stable_sort(objects.begin(), objects.end(),
                   [](const SimObject* a, const SimObject* b) { return a->section < b->section; });
  std::vector<FormRow> rows;
  for (size_t i = 0; i < objects.size(); ++i) {
    if (i == 0 || objects[i]->section != objects[i - 1]->section) {
      rows.push_back(
          TextRow(form, FormRow::Kind::Heading, "Раздел " + std::to_string(objects[i]->section)));
      rows.back().keep_with_next = true;
    }
    object_rows(*objects[i], rows);
  }
  return rows;
}

}  // namespace

std::vector<FormRow> PurchasedRows(const std::vector<const SimObject*>& objects) {
  return SectionRows(PurchasedForm(), objects, [](const SimObject& object, auto& rows) {
    rows.push_back(ObjectRow(PurchasedForm(), object));
  });
}

// The specification: a position of 0 is one the host has yet to number, so it stays blank; an
// object linked to a model item is followed by a line naming the item.
std::vector<FormRow> SpecRows(const std::vector<const SimObject*>& objects) {
  return SectionRows(SpecForm(), objects, [](const SimObject& object, auto& rows) {
    rows.push_back(ObjectRow(SpecForm(), object));
    const SimColumnValue* position = FindColumn(object, 3);
    if (position && position->type != 8 && position->number == 0)
      rows.back().cells[2].clear();
    if (object.link) {
      rows.back().keep_with_next = true;
      rows.push_back(TextRow(SpecForm(), FormRow::Kind::Link, "Связь с моделью: " + *object.link));
    }
  });
}

namespace {

// The first `count` lines of a row, and what is left of it.
std::pair<FormRow, FormRow> SplitRow(const FormRow& row, int count) {
  FormRow head = row, tail = row;
  for (size_t k = 0; k < row.cells.size(); ++k) {
    const auto& lines = row.cells[k];
    const auto cut = lines.begin() + std::min<ptrdiff_t>(count, std::ssize(lines));
    head.cells[k].assign(lines.begin(), cut);
    tail.cells[k].assign(cut, lines.end());
  }
  head.keep_with_next = false;
  return {head, tail};
}

}  // namespace

std::vector<std::vector<FormRow>> Paginate(const std::vector<FormRow>& rows, const Form& form) {
  std::vector<std::vector<FormRow>> sheets(1);
  int room = LinesOnSheet(form, kFirstStampMm);
  int used = 0;
  const auto next_sheet = [&] {
    sheets.emplace_back();
    room = LinesOnSheet(form, kNextStampMm);
    used = 0;
  };
  for (size_t i = 0; i < rows.size();) {
    size_t end = i;
    int block = 0;
    do
      block += rows[end].lines();
    while (rows[end++].keep_with_next && end < rows.size());
    if (used > 0 && used + block > room)
      next_sheet();
    for (; i < end; ++i) {
      FormRow row = rows[i];
      while (row.lines() > room - used) {
        if (room > used) {
          auto [head, tail] = SplitRow(row, room - used);
          sheets.back().push_back(std::move(head));
          row = std::move(tail);
        }
        next_sheet();
      }
      used += row.lines();
      sheets.back().push_back(std::move(row));
    }
  }
  return sheets;
}

}  // namespace zuro::standin
