// The stand-in host's document as a page. Each document the objects make up is drawn on its form:
// A4 sheets with the frame and its binding margin, the margin's additional columns, the ruled
// table with its header repeated on every sheet, and the title block (the full one on the first
// sheet, the short one on the others). The page is put together in code page 1251, as every text
// here is, and converted to UTF-8 once at the end.
#include "standin/sim_document_html.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "readers/designator_lists.h"

namespace zuro::standin {

namespace {

// Sheet geometry in millimetres. The frame keeps 20 mm on the left for binding and 5 mm on the
// other sides; every written line of a form is 8 mm high.
constexpr double kMarginMm = 5;
constexpr double kLineMm = 8;
constexpr double kFirstStampMm = 40;  // title block of a text document's first sheet
constexpr double kNextStampMm = 15;   // title block of its following sheets
// Body text: the em size, and the width of an average letter of a narrow face at that size, taken
// a little generously so that the browser never wraps again a line the page has already wrapped.
constexpr double kFontMm = 4.2;
constexpr double kLetterMm = kFontMm * 0.47;

enum class DocumentForm { List, Purchased, Spec, Other };

// The host's style libraries each hold the specification (1), list-of-elements (3) and
// purchased-items (11) styles; anything else is shown as it is.
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

// A column of a form; the k-th column of each form shows the style's column k + 1.
struct FormColumn {
  const char* heading;  // HTML
  double width_mm;
  bool centred = false;
  bool upward = false;          // the heading reads upwards, as in the narrow columns of forms
  const char* group = nullptr;  // a heading over a run of columns
};

struct Form {
  const char* name;  // the document's name in the title block
  bool landscape;
  double header_mm;
  size_t heading_column;  // where section headings and model links are written
  std::vector<FormColumn> columns;
};

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

// The purchased-items list is wide: its sheets lie landscape.
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

std::string Escape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

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

std::string ColumnText(const SimObject& object, int32_t column) {
  const SimColumnValue* value = FindColumn(object, column);
  return value ? ValueText(*value) : std::string();
}

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

// The lines a text takes in a column of the given width: each line feed starts a line, long
// lines wrap. Carriage returns go; other control characters become spaces.
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

// One row of a form's table: an object, a section heading or an object's model link.
struct FormRow {
  enum class Kind { Object, Heading, Link };
  Kind kind = Kind::Object;
  std::vector<std::vector<std::string>> cells;  // the lines of each column
  bool keep_with_next = false;                  // never the last row of a sheet

  int lines() const {
    size_t most = 1;
    for (const auto& cell : cells)
      most = std::max(most, cell.size());
    return static_cast<int>(most);
  }
};

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

// Rows to sheets: a row and the rows it keeps with stay on one sheet when they fit on one; a row
// taller than a whole sheet goes on over the next.
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

// A share of a whole for CSS, as the columns of tables fill the frame's inside.
std::string Share(double part, double whole) {
  const long thousandths = std::lround(part / whole * 100000);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%ld.%03ld%%", thousandths / 1000, thousandths % 1000);
  return buffer;
}

// A length for CSS, written without the C library's decimal sign, which a host may have changed.
std::string Mm(double mm) {
  const long hundredths = std::lround(mm * 100);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%ld.%02ldmm", hundredths / 100, hundredths % 100);
  return buffer;
}

// The column headings, on two rows when some columns stand under a common heading. Upward
// headings get the height of their cell, so that long ones wrap into a second column of text.
void AppendHeader(std::string& html, const Form& form) {
  const auto in_group = [&](size_t k, const char* group) {
    return form.columns[k].group && std::string_view(form.columns[k].group) == group;
  };
  const bool grouped = std::any_of(form.columns.begin(), form.columns.end(),
                                   [](const FormColumn& column) { return column.group; });
  constexpr double kGroupMm = 8;
  const size_t last = form.columns.size() - 1;
  const auto th = [&](size_t k, const std::string& attributes, const char* text, double height) {
    const std::string classes = k == 0 ? "l" : k == last ? "r" : "";
    html += "<th" + attributes + (classes.empty() ? "" : " class=\"" + classes + "\"") + ">";
    if (height > 0)
      html += "<div class=\"up\" style=\"height:" + Mm(height - 1.5) + "\">" + text + "</div>";
    else
      html += text;
    html += "</th>";
  };
  html += "<thead><tr style=\"height:" + Mm(grouped ? kGroupMm : form.header_mm) + "\">";
  for (size_t k = 0; k < form.columns.size(); ++k) {
    const FormColumn& column = form.columns[k];
    if (!column.group) {
      th(k, grouped ? " rowspan=\"2\"" : "", column.heading, column.upward ? form.header_mm : 0);
      continue;
    }
    size_t span = 1;
    while (k + span < form.columns.size() && in_group(k + span, column.group))
      ++span;
    th(k, " colspan=\"" + std::to_string(span) + "\"", column.group, 0);
    k += span - 1;
  }
  html += "</tr>";
  if (grouped) {
    html += "<tr style=\"height:" + Mm(form.header_mm - kGroupMm) + "\">";
    for (size_t k = 0; k < form.columns.size(); ++k) {
      const FormColumn& column = form.columns[k];
      if (column.group)
        th(k, "", column.heading, column.upward ? form.header_mm - kGroupMm : 0);
    }
    html += "</tr>";
  }
  html += "</thead>";
}

// `extra_mm` lengthens the row: the last row of a sheet takes what is left of the frame above the
// title block when that is less than a line.
void AppendRow(std::string& html, const Form& form, const FormRow& row, double extra_mm = 0) {
  html += "<tr style=\"height:" + Mm(row.lines() * kLineMm + extra_mm) + "\">";
  const size_t last = form.columns.size() - 1;
  for (size_t k = 0; k < form.columns.size(); ++k) {
    std::string classes;
    const auto add = [&](bool wanted, const char* name) {
      if (wanted)
        classes += (classes.empty() ? "" : " ") + std::string(name);
    };
    add(k == 0, "l");
    add(k == last, "r");
    add(form.columns[k].centred, "c");
    add(row.kind == FormRow::Kind::Heading && k == form.heading_column, "section");
    add(row.kind == FormRow::Kind::Link && k == form.heading_column, "link");
    html += classes.empty() ? "<td>" : "<td class=\"" + classes + "\">";
    for (size_t n = 0; n < row.cells[k].size(); ++n)
      html += (n ? "<br>" : "") + Escape(row.cells[k][n]);
    html += "</td>";
  }
  html += "</tr>";
}

// The table of one sheet, its unused lines ruled empty down to the title block.
void AppendTable(std::string& html,
                 const Form& form,
                 const std::vector<FormRow>& rows,
                 double stamp_mm) {
  const double height = FrameHeight(form) - stamp_mm;
  html += "<div class=\"rows\" style=\"height:" + Mm(height) + "\"><table class=\"form\">";
  double total = 0;
  for (const FormColumn& column : form.columns)
    total += column.width_mm;
  html += "<colgroup>";
  for (const FormColumn& column : form.columns)
    html += "<col style=\"width:" + Share(column.width_mm, total) + "\">";
  html += "</colgroup>";
  AppendHeader(html, form);
  html += "<tbody>";
  int used = 0;
  for (const FormRow& row : rows)
    used += row.lines();
  const int lines = LinesOnSheet(form, stamp_mm);
  const double rest = height - form.header_mm - lines * kLineMm;
  FormRow empty;
  empty.cells.resize(form.columns.size());
  const size_t fillers = static_cast<size_t>(std::max(0, lines - used));
  for (size_t n = 0; n < rows.size(); ++n)
    AppendRow(html, form, rows[n], fillers == 0 && n + 1 == rows.size() ? rest : 0);
  for (size_t n = 0; n < fillers; ++n)
    AppendRow(html, form, empty, n + 1 == fillers ? rest : 0);
  html += "</tbody></table></div>";
}

// The additional columns of the binding margin: inventory numbers and signatures at the bottom,
// the first use and reference number at the top of a portrait document's first sheet.
void AppendMarginColumns(std::string& html, const Form& form, bool first_sheet) {
  const auto stack = [&](const char* placement, std::vector<std::pair<const char*, int>> boxes) {
    html += "<div class=\"margin\" style=\"" + std::string(placement) + "\">";
    for (const auto& [label, height] : boxes) {
      html += "<div class=\"box\" style=\"height:" + Mm(height) + "\"><div class=\"up\">" + label +
              "</div><div class=\"field\"></div></div>";
    }
    html += "</div>";
  };
  stack("bottom:5mm", {{"Подп. и дата", 35},
                       {"Инв. № дубл.", 25},
                       {"Взам. инв. №", 25},
                       {"Подп. и дата", 35},
                       {"Инв. № подл.", 25}});
  if (first_sheet && !form.landscape)
    stack("top:5mm", {{"Перв. примен.", 60}, {"Справ. №", 60}});
}

// The changes grid at the left of both title blocks: two free rows, then the labels row. The
// cells of the right part that start on the first two rows come with them.
void AppendChangeRows(std::string& html,
                      const std::string& first_right,
                      const std::string& second_right) {
  for (const std::string* right : {&first_right, &second_right})
    html += "<tr><td></td><td></td><td></td><td></td><td></td>" + *right + "</tr>";
  html +=
      "<tr class=\"labels\"><td>Изм.</td><td>Лист</td><td>№ докум.</td><td>Подп.</td>"
      "<td>Дата</td></tr>";
}

// Title blocks are 185 mm wide, the whole inside of a portrait frame.
void AppendStampColumns(std::string& html, std::initializer_list<int> widths) {
  html += "<colgroup>";
  for (const int width : widths)
    html += "<col style=\"width:" + Share(width, 185) + "\">";
  html += "</colgroup>";
}

// Title block of the first sheet: designation, the product's and document's name, letter, sheet,
// sheets and the organisation, beside the signatures of who made and checked the document.
void AppendFirstStamp(std::string& html, const Form& form, const std::string& title, int sheets) {
  html += form.landscape ? "<table class=\"stamp first\">" : "<table class=\"stamp first full\">";
  AppendStampColumns(html, {7, 10, 23, 15, 10, 70, 5, 5, 5, 15, 20});
  AppendChangeRows(html, "<td class=\"main edge\" colspan=\"6\" rowspan=\"3\"></td>", "");
  const std::string name =
      (title.empty() ? "" : "<span class=\"product\">" + Escape(title) + "</span><br>") + form.name;
  const std::string right[] = {
      "<td class=\"main name bottom\" rowspan=\"5\">" + name +
          "</td><td class=\"main\" colspan=\"3\">Лит.</td><td class=\"main\">Лист</td>"
          "<td class=\"main edge\">Листов</td>",
      "<td class=\"main\"></td><td class=\"main\"></td><td class=\"main\"></td>"
      "<td class=\"main\">1</td><td class=\"main edge\">" +
          std::to_string(sheets) + "</td>",
      "<td class=\"main edge bottom\" colspan=\"5\" rowspan=\"3\"></td>", "", ""};
  const char* const roles[] = {"Разраб.", "Пров.", "", "Н. контр.", "Утв."};
  for (int n = 0; n < 5; ++n) {
    html += "<tr><td colspan=\"2\" class=\"role\">" + std::string(roles[n]) +
            "</td><td></td><td></td><td></td>" + right[n] + "</tr>";
  }
  html += "</table>";
}

// Title block of the following sheets: the designation and the sheet number.
void AppendNextStamp(std::string& html, const Form& form, int sheet) {
  html += form.landscape ? "<table class=\"stamp\">" : "<table class=\"stamp full\">";
  AppendStampColumns(html, {7, 10, 23, 15, 10, 110, 10});
  AppendChangeRows(
      html, "<td class=\"main bottom\" rowspan=\"3\"></td><td class=\"main edge\">Лист</td>",
      "<td class=\"main edge bottom sheet\" rowspan=\"2\">" + std::to_string(sheet) + "</td>");
  html += "</table>";
}

void AppendSheet(std::string& html,
                 const Form& form,
                 const std::vector<FormRow>& rows,
                 int sheet,
                 int sheets,
                 const std::string& title) {
  const bool first = sheet == 1;
  html += "<section class=\"sheet\" style=\"width:" + Mm(SheetWidth(form)) +
          ";height:" + Mm(SheetHeight(form)) + "\"" +
          (form.landscape ? " data-orientation=\"landscape\"" : "") + ">";
  AppendMarginColumns(html, form, first);
  html += "<div class=\"frame\">";
  AppendTable(html, form, rows, first ? kFirstStampMm : kNextStampMm);
  if (first)
    AppendFirstStamp(html, form, title, sheets);
  else
    AppendNextStamp(html, form, sheet);
  html += "</div><div class=\"below\"><span>Копировал</span><span>Формат A4</span></div>";
  html += "</section>\n";
}

void AppendDocument(std::string& html,
                    const Form& form,
                    const std::vector<FormRow>& rows,
                    const std::string& title) {
  const auto sheets = Paginate(rows, form);
  for (size_t n = 0; n < sheets.size(); ++n)
    AppendSheet(html, form, sheets[n], static_cast<int>(n + 1), static_cast<int>(sheets.size()),
                title);
}

// Objects of styles without a form: each column as the host holds it.
void AppendPlainTable(std::string& html, const std::vector<const SimObject*>& objects) {
  std::set<int32_t> numbers;
  bool linked = false;
  for (const SimObject* object : objects) {
    for (const SimColumnValue& value : object->columns)
      numbers.insert(value.column);
    linked = linked || object->link.has_value();
  }
  html +=
      "<section class=\"plain\"><h2>Объекты других стилей</h2><table><thead><tr>"
      "<th>Библиотека стилей</th><th>Стиль</th><th>Раздел</th>";
  for (const int32_t number : numbers)
    html += "<th>Колонка " + std::to_string(number) + "</th>";
  if (linked)
    html += "<th>Связь с моделью</th>";
  html += "</tr></thead><tbody>";
  const auto cell = [&](const std::string& text) {
    html += "<td>";
    const auto lines = WrapText(text, 1e9);
    for (size_t n = 0; n < lines.size(); ++n)
      html += (n ? "<br>" : "") + Escape(lines[n]);
    html += "</td>";
  };
  for (const SimObject* object : objects) {
    html += "<tr>";
    cell(object->library);
    cell(std::to_string(object->style));
    cell(std::to_string(object->section));
    for (const int32_t number : numbers)
      cell(ColumnText(*object, number));
    if (linked)
      cell(object->link.value_or(""));
    html += "</tr>";
  }
  html += "</tbody></table></section>\n";
}

// Screen: grey desk, white sheets. Print: one sheet a page, each in its own orientation.
constexpr const char* kStyle = R"css(
@page { size: A4 portrait; margin: 0; }
@page landscape { size: A4 landscape; margin: 0; }
* { box-sizing: border-box; }
body { margin: 0; padding: 8mm 0; background: #8a8f96; color: #000;
  font: italic 4.2mm/1.2 "GOST type A", "GOST 2.304 type A", ISOCPEUR, "Arial Narrow",
  "Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed", sans-serif; }
.sheet { position: relative; margin: 0 auto 8mm; background: #fff;
  box-shadow: 0 1mm 4mm rgba(0, 0, 0, 0.45); overflow: hidden; }
.sheet[data-orientation="landscape"] { page: landscape; }
.frame { position: absolute; left: 20mm; top: 5mm; right: 5mm; bottom: 5mm;
  box-shadow: 0 0 0 0.6mm #000; }
.rows { position: absolute; left: 0; top: 0; right: 0; overflow: hidden; }
table { border-collapse: collapse; table-layout: fixed; }
table.form { width: 100%; }
.form th { border: 0.6mm solid #000; border-top: none; border-bottom: none;
  box-shadow: inset 0 -0.6mm 0 #000; font-weight: normal; font-size: 3.6mm;
  line-height: 1.15; text-align: center; vertical-align: middle; padding: 0 0.5mm;
  overflow: hidden; }
.form td { border-left: 0.6mm solid #000; border-right: 0.6mm solid #000;
  box-shadow: inset 0 -0.2mm 0 #000; padding: 0 1mm; line-height: 8mm; vertical-align: top;
  overflow-wrap: anywhere; overflow: hidden; }
.form .l { border-left: none; }
.form .r { border-right: none; }
.form td.c { text-align: center; }
.form td.section { text-align: center; text-decoration: underline; }
.sheet[data-orientation="landscape"] .form tbody tr:last-child td {
  box-shadow: inset 0 -0.6mm 0 #000; }
.form td.link { font-size: 3.4mm; color: #333; }
.up { writing-mode: vertical-rl; transform: rotate(180deg); margin: auto; text-align: center;
  line-height: 1.1; }
.form th .up { font-size: 3.3mm; }
.stamp { position: absolute; right: 0; bottom: 0; width: 185mm; height: 15mm; font-size: 3mm;
  line-height: 1; }
.stamp.first { height: 40mm; }
.stamp tr { height: 5mm; }
.stamp td { border: 0.2mm solid #000; border-left: 0.6mm solid #000;
  border-right: 0.6mm solid #000; padding: 0 0.6mm; overflow: hidden;
  white-space: nowrap; }
.stamp tr:first-child td { border-top: 0.6mm solid #000; }
.stamp tr.labels td { border-top: 0.6mm solid #000; border-bottom: 0.6mm solid #000;
  text-align: center; }
.stamp td.main { border: 0.6mm solid #000; text-align: center; }
.stamp td.edge { border-right: none; }
.stamp tr:last-child td, .stamp td.bottom { border-bottom: none; }
.stamp.full tr td:first-child { border-left: none; }
.stamp td.name { font-size: 4.2mm; line-height: 1.2; white-space: normal; }
.stamp td.sheet { font-size: 4.2mm; }
.stamp .product { font-size: 5mm; }
.margin { position: absolute; left: 8mm; width: 12mm; display: flex; flex-direction: column;
  border: 0.6mm solid #000; border-right: none; }
.margin .box { display: flex; flex: 0 1 auto; border-top: 0.6mm solid #000; }
.margin .box:first-child { border-top: none; }
.margin .up { width: 5mm; font-size: 2.8mm; margin: 0; }
.margin .field { width: 7mm; border-left: 0.6mm solid #000; }
.below { position: absolute; left: 20mm; right: 5mm; bottom: 0; height: 5mm; font-size: 3mm;
  display: flex; justify-content: flex-end; gap: 45mm; align-items: center; }
.plain, .empty { width: 250mm; margin: 0 auto 8mm; padding: 6mm 8mm; background: #fff;
  box-shadow: 0 1mm 4mm rgba(0, 0, 0, 0.45); }
.plain h2 { font-size: 5mm; font-weight: normal; margin: 0 0 4mm; }
.plain th, .plain td { border: 0.3mm solid #000; padding: 1mm 1.5mm; vertical-align: top;
  font-size: 3.6mm; }
.empty { font-size: 5mm; text-align: center; }
@media print {
  body { background: none; padding: 0; }
  .sheet { margin: 0; box-shadow: none; break-after: page; }
}
)css";

}  // namespace

std::string DocumentToHtml(const SimDocument& document, const std::string& title) {
  // The documents in the order their first objects came.
  std::vector<std::pair<DocumentForm, std::vector<const SimObject*>>> documents;
  for (const SimObject& object : document.objects) {
    const DocumentForm form = FormOf(object);
    auto found = std::find_if(documents.begin(), documents.end(),
                              [&](const auto& held) { return held.first == form; });
    if (found == documents.end())
      found = documents.insert(documents.end(), {form, {}});
    found->second.push_back(&object);
  }

  std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n";
  html += "<title>" + Escape(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  if (documents.empty())
    html += "<p class=\"empty\">Документ пуст: в нём нет ни одного объекта.</p>\n";
  for (const auto& [form, objects] : documents) {
    switch (form) {
      case DocumentForm::List:
        AppendDocument(html, ListForm(), ListRows(objects), title);
        break;
      case DocumentForm::Purchased:
        AppendDocument(html, PurchasedForm(), PurchasedRows(objects), title);
        break;
      case DocumentForm::Spec:
        AppendDocument(html, SpecForm(), SpecRows(objects), title);
        break;
      case DocumentForm::Other:
        AppendPlainTable(html, objects);
        break;
    }
  }
  html += "</body>\n</html>\n";
  return Cp1251ToUtf8(html);
}

bool SaveDocumentHtml(const SimDocument& document,
                      const std::string& title,
                      const std::string& path) {
  const std::string html = DocumentToHtml(document, title);
  return ReplaceFileContents(path, [&](std::FILE* file) {
    return std::fwrite(html.data(), 1, html.size(), file) == html.size();
  });
}

}  // namespace zuro::standin
