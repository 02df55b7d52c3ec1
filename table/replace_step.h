// Search and replace in one column of the component table, one match at a time: the state that
// the replace-text dialog and its converter window share, and the step the window runs on it.
#pragma once

#include <cstdint>
#include <string>

#include "table/grid_model.h"

namespace zuro::table {

// The background of the match shown to the user, and of every other cell.
inline constexpr Colour kMatchColour = 0x00FAFDAD;  // RGB(173, 253, 250)
inline constexpr Colour kPlainColour = 0x00FFFFFF;  // white

// The next row that marks a finished search, as the dialog and its window have always kept it.
inline constexpr int32_t kSearchFinishedRow = 20000;

struct ReplaceState {
  int32_t column = 0;       // table column searched, from 1; 0 when none is chosen
  int32_t pending_row = 0;  // row of the match now shown, 0 when none
  int32_t next_row = 0;     // row at which the next search begins
  bool skip = false;        // pass the pending match over instead of replacing it
  bool all = false;         // replace every match without stopping
  // The search reached the end of the table. Kept apart from next_row, which is a real row in a
  // table of more than kSearchFinishedRow rows.
  bool finished = false;
  std::string find_text;
  std::string replacement_text;

  // Ends the search: the state then reads as finished until a new search starts from row 1.
  void Finish() {
    next_row = kSearchFinishedRow;
    finished = true;
  }
  // Starts the search again from the first component row.
  void Restart() {
    next_row = 1;
    finished = false;
  }
};

// One step: replaces or passes over the pending match, then finds and shows the next match from
// next_row on (all of them when `all` is on). Leaves skip and all off.
void ReplaceStep(GridModel& table, ReplaceState& state);

}  // namespace zuro::table
