#include "ui/SheetTable.h"

#include <QHeaderView>
#include <QTableView>

namespace foldwise {

void setUpSheetTable(QTableView& table) {
    table.setShowGrid(false);
    table.setAlternatingRowColors(true);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setWordWrap(false);
    table.setTextElideMode(Qt::ElideMiddle);
    table.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView& rows = *table.verticalHeader();
    rows.hide();
    rows.setSectionResizeMode(QHeaderView::Fixed);
    rows.setDefaultSectionSize(table.fontMetrics().height() + 8);
    QHeaderView& columns = *table.horizontalHeader();
    columns.setSectionResizeMode(QHeaderView::Stretch);
    columns.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns.setHighlightSections(false);
}

} // namespace foldwise
