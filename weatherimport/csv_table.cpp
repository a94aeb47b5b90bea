#include "weatherimport/csv_table.h"

#include "common/fixed_text.h"

namespace weatherimport {

int Table::column_of(std::string_view name) const {
    for (size_t i = 0; i < header.cells.size(); ++i)
        if (header.cells[i].text == name) return static_cast<int>(i);
    return -1;
}

namespace {

// Splits one line (without its line end) into cells.
bool split_line(std::string_view line, char delimiter, Row& row, Place at, Refusal& refusal) {
    size_t i = 0;
    for (;;) {
        Cell cell;
        cell.column = static_cast<int>(i) + 1;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size()) {
                    at.column = cell.column;
                    refusal = {at, "a quoted cell is not closed on its line"};
                    return false;
                }
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        cell.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell.text += line[i++];
            }
            if (i < line.size() && line[i] != delimiter) {
                at.column = static_cast<int>(i) + 1;
                refusal = {at, "text after the closing quote of a cell"};
                return false;
            }
        } else {
            while (i < line.size() && line[i] != delimiter) {
                if (line[i] == '"') {
                    at.column = static_cast<int>(i) + 1;
                    refusal = {at, "a quote inside a cell that does not start with one"};
                    return false;
                }
                cell.text += line[i++];
            }
        }
        row.cells.push_back(std::move(cell));
        if (i >= line.size()) return true;
        ++i;  // the delimiter
    }
}

}  // namespace

bool read_table(const std::string& file, std::string_view text, char delimiter, Table& table, Refusal& refusal) {
    table = Table{};
    table.file = file;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::pair<int, std::string_view>> lines;
    int number = 0;
    for (std::string_view line : common::text_lines(text)) lines.emplace_back(++number, line);
    while (!lines.empty() && lines.back().second.empty()) lines.pop_back();
    if (lines.empty()) {
        refusal = {{file, 1, 1}, "the file is empty: a header line is expected"};
        return false;
    }
    table.header.line = lines[0].first;
    if (!split_line(lines[0].second, delimiter, table.header, {file, lines[0].first, 0}, refusal)) return false;
    const size_t width = table.header.cells.size();
    for (size_t k = 1; k < lines.size(); ++k) {
        const auto& [line_number, line] = lines[k];
        Place place{file, line_number, 1};
        if (line.empty()) {
            refusal = {place, "a blank line between records"};
            return false;
        }
        Row row;
        row.line = line_number;
        if (!split_line(line, delimiter, row, place, refusal)) return false;
        if (row.cells.size() != width) {
            place.column = row.cells.size() > width ? row.cells[width].column : static_cast<int>(line.size()) + 1;
            refusal = {place,
                       std::to_string(row.cells.size()) + " cells where the header has " + std::to_string(width)};
            return false;
        }
        table.rows.push_back(std::move(row));
    }
    return true;
}

}  // namespace weatherimport
