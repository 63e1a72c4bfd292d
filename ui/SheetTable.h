#pragma once

class QTableView;

namespace foldwise {

// Sets a sheet's table up to list many rows quickly: rows of one fixed height, whole rows selected,
// columns sized by the view's width (never by measuring every row), no grid and no row numbers.
void setUpSheetTable(QTableView& table);

} // namespace foldwise
