// The stand-in host's document as a page a designer reads: the list of elements, the
// purchased-items list and the specification laid out on A4 sheets as their forms are.
#pragma once

#include <string>

#include "standin/sim_host.h"

namespace zuro::standin {

// The document as an HTML page (UTF-8): the objects grouped by the document they make up.
// `title` is code page 1251, as the document's texts; it names the page and fills the title blocks.
std::string DocumentToHtml(const SimDocument& document, const std::string& title);
// Writes the page to `path` (replacing the file only when the whole page was written).
bool SaveDocumentHtml(const SimDocument& document,
                      const std::string& title,
                      const std::string& path);

}  // namespace zuro::standin
