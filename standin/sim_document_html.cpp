// The stand-in host's document as a page. Each document the objects make up is drawn on its form
// (sheet_layout.h lays the rows out and cuts them into sheets): A4 sheets with the frame and its
// binding margin, the margin's additional columns, the ruled table with its header repeated on
// every sheet, and the title block (the full one on the first sheet, the short one on the others).
// The page is put together in code page 1251, as every text here is, and converted to UTF-8 once
// at the end.
#include "standin/sim_document_html.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "standin/sheet_layout.h"

namespace zuro::standin {

namespace {

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
