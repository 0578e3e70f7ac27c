#pragma once

#include "core/table.h"

namespace analysis {

// What a table of the analysis screen puts into its grid besides the fixed
// column layout: the data rows (the header row is the grid's own) and
// whether the grid then scrolls to its end, the newest row visible.
struct TableFill {
    table::Rows rows;
    bool scrollToEnd = false;
};

} // namespace analysis
