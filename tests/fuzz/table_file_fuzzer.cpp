// Fuzz target: a table file (".tbl") opened by "Открыть таблицу". The table read is written out
// as its file text and read again: the second reading must give the same table, as saving and
// opening a table does.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "table/table_file.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// The file text as WriteTableFile writes it: each line ended by CR LF.
std::string FileTextOf(const zuro::table::GridModel& table) {
  std::string text;
  for (const std::string& line : zuro::table::TableFileText(table))
    text += line + "\r\n";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zuro;
  const std::string text = fuzz::FileText(data, size);
  table::GridModel table;
  std::vector<std::string> titles;
  table::ReadTableFile(text, table, titles);
  fuzz::RequireConsistent(table);

  const std::string saved = FileTextOf(table);
  table::GridModel reopened;
  std::vector<std::string> reopened_titles;
  table::ReadTableFile(saved, reopened, reopened_titles);
  fuzz::RequireConsistent(reopened);
  if (FileTextOf(reopened) != saved || reopened_titles != titles) {
    std::fprintf(stderr, "a table saved and opened again differs from the table saved\n");
    std::abort();
  }
  return 0;
}
