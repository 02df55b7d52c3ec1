// What a report reader gives back besides the table it filled.
#pragma once

namespace zuro::readers {

enum class ReadResult {
  kLoaded,        // the table holds the report (possibly no component rows)
  kBadStructure,  // the report shows itself to be no report of its kind; the table is emptied
};

}  // namespace zuro::readers
