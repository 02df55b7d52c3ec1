// zuro-bom show: a document of the stand-in host, as a conversion saved it, printed one object a
// line and written as a page to look at.
#include <algorithm>
#include <charconv>

#include "cli/cli_support.h"
#include "standin/sim_document_html.h"
#include "standin/sim_host.h"

namespace zuro::cli {

namespace {

// A number as the documents' forms show it: no needless decimals.
std::string NumberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : "?";
}

// One object: its columns in column order, the texts' line feeds as blanks.
std::string ObjectLine(const standin::SimObject& object) {
  std::vector<standin::SimColumnValue> columns = object.columns;
  std::stable_sort(columns.begin(), columns.end(),
                   [](const auto& a, const auto& b) { return a.column < b.column; });
  std::string line = std::to_string(object.section);
  for (const standin::SimColumnValue& column : columns) {
    std::string text = column.type == 8 ? column.text : NumberText(column.number);
    std::replace(text.begin(), text.end(), '\n', ' ');
    line += " | " + text;
  }
  return line;
}

}  // namespace

int Show(const std::vector<std::string>& args) {
  std::string problem;
  const std::optional<ParsedOptions> options = ParseOptions(args, {{"--html"}, {}, {}}, problem);
  if (!options)
    return BadUsage(problem);
  standin::SimDocument document;
  if (!standin::OpenDocument(options->report, document)) {
    Complain(options->report + " is no document of the stand-in host");
    return kExitStopped;
  }
  for (const standin::SimObject& object : document.objects)
    Print(stdout, ObjectLine(object) + "\n");
  const std::string html = options->Value("--html");
  if (!html.empty() && !standin::SaveDocumentHtml(document, DocumentTitle(options->report), html)) {
    Complain("cannot write " + html);
    return kExitStopped;
  }
  return kExitDone;
}

}  // namespace zuro::cli
