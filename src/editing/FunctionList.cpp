#include "editing/FunctionList.h"

#include "model/FunctionTables.h"

namespace zeltra::functionlist {

namespace {
constexpr int NameWidth = 8;
} // namespace

QString rowText(int tableRow, const char* name, const char* description) {
    return QString::number(tableRow) + QStringLiteral(": ") +
           QString::fromLatin1(name).leftJustified(NameWidth, QLatin1Char(' ')) +
           QStringLiteral(" : ") + QString::fromLatin1(description);
}

std::vector<Row> rows(int listKind, bool topRowKey) {
    const auto table = functionTable(listKind);
    const bool filter = listKind == ListMachine && topRowKey;
    std::vector<Row> out;
    out.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const FunctionEntry& e = table[i];
        if (filter && (e.Code == codes::Locate1 || e.Code == codes::Locate2))
            continue;
        out.push_back({int(i), rowText(int(i), e.Name, e.Description)});
    }
    return out;
}

std::vector<Row> matching(const std::vector<Row>& rows, int listKind, const QString& filter) {
    const QString wanted = filter.trimmed();
    if (wanted.isEmpty())
        return rows;
    const auto table = functionTable(listKind);
    auto has = [&wanted](const char* text) {
        return QString::fromLatin1(text).contains(wanted, Qt::CaseInsensitive);
    };
    std::vector<Row> out;
    for (const Row& row : rows) {
        const FunctionEntry& e = table[std::size_t(row.tableRow)];
        if (has(e.Name) || has(e.Description))
            out.push_back(row);
    }
    return out;
}

int listRowOf(const std::vector<Row>& rows, int tableRow) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].tableRow == tableRow)
            return int(i);
    return -1;
}

int tableRowOf(const std::vector<Row>& rows, int listRow) {
    if (listRow < 0 || std::size_t(listRow) >= rows.size())
        return -1;
    return rows[std::size_t(listRow)].tableRow;
}

} // namespace zeltra::functionlist
