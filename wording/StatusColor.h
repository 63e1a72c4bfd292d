#pragma once

namespace foldwise {

// The colours a status line is drawn in: Primary for what is merely so, Green for success, Red for a
// failure, Orange for what needs a look (a run stopped, undone, or that moved nothing), Blue for a choice made.
enum class StatusColor { Primary, Green, Red, Orange, Blue };

} // namespace foldwise
