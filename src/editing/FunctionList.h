#pragma once
#include <QString>
#include <vector>

// The rows the function dialog lists: one per row of the table of a list kind, in table order,
// except that top-row keys of a machine keyboard never get "Locate1" or "Locate2".
namespace zeltra::functionlist {

struct Row {
    int tableRow; // the table row the list row shows
    QString text; // "1: []       : Stop"
};

// "<row>: <name padded to 8> : <description>"; a name longer than 8 is not cut.
QString rowText(int tableRow, const char* name, const char* description);

std::vector<Row> rows(int listKind, bool topRowKey);

// The rows whose function name or description contains `filter`, ignoring case; all rows for
// an empty filter. The rows keep their text and table numbering.
std::vector<Row> matching(const std::vector<Row>& rows, int listKind, const QString& filter);

// The list row that shows `tableRow`, or -1 when it is left out.
int listRowOf(const std::vector<Row>& rows, int tableRow);
// The table row a list row shows, or -1 for no row.
int tableRowOf(const std::vector<Row>& rows, int listRow);

} // namespace zeltra::functionlist
