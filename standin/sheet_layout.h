// The sheets of the stand-in host's document page: the forms the host's documents are drawn on
// (A4 sheets, their columns and title blocks), the rows of each document in the order the host
// lays them out, and the rows cut into sheets. Lengths are in millimetres; texts are code page
// 1251.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standin/sim_host.h"

namespace zuro::standin {

// Sheet geometry. The frame keeps 20 mm on the left for binding and 5 mm on the other sides;
// every written line of a form is 8 mm high.
constexpr double kMarginMm = 5;
constexpr double kLineMm = 8;
constexpr double kFirstStampMm = 40;  // title block of a text document's first sheet
constexpr double kNextStampMm = 15;   // title block of its following sheets
constexpr double kFontMm = 4.2;       // the em size of the body text

enum class DocumentForm { List, Purchased, Spec, Other };

// The host's style libraries each hold the specification (1), list-of-elements (3) and
// purchased-items (11) styles; anything else is shown as it is.
DocumentForm FormOf(const SimObject& object);

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

const Form& ListForm();
// The purchased-items list is wide: its sheets lie landscape.
const Form& PurchasedForm();
const Form& SpecForm();

double SheetWidth(const Form& form);
double SheetHeight(const Form& form);
double FrameHeight(const Form& form);
// The lines of the table a sheet holds above a title block `stamp_mm` high.
int LinesOnSheet(const Form& form, double stamp_mm);

// The text of the value last set in the object's column, as the forms print it; empty without one.
std::string ColumnText(const SimObject& object, int32_t column);
// The lines a text takes in a column of the given width: each line feed starts a line, long
// lines wrap. Carriage returns go; other control characters become spaces.
std::vector<std::string> WrapText(std::string text, double width_mm);

// The rows of each document. The list of elements runs by section and first designator, as the
// host lays it out; the purchased-items list and the specification run section by section, each
// under its heading, the objects of a section in the order they came.
std::vector<FormRow> ListRows(const std::vector<const SimObject*>& objects);
std::vector<FormRow> PurchasedRows(const std::vector<const SimObject*>& objects);
std::vector<FormRow> SpecRows(const std::vector<const SimObject*>& objects);

// Rows to sheets: a row and the rows it keeps with stay on one sheet when they fit on one; a row
// taller than a whole sheet goes on over the next.
std::vector<std::vector<FormRow>> Paginate(const std::vector<FormRow>& rows, const Form& form);

}  // namespace zuro::standin
