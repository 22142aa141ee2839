// Rows of results (pairs of line numbers, later distances or names) written
// in the format the user chose: "pairs", the fields separated by spaces as
// the tool has always printed them; "csv", a header line with the column
// names then comma-separated rows (RFC 4180 quoting); "json", one JSON
// object per line keyed by the column names. Output is buffered and
// written in large blocks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace spatialgeom::tool {

enum class TableFormat { kPairs, kCsv, kJson };

// "pairs", "csv" or "json"; a usage error naming --format otherwise.
TableFormat parseTableFormat(std::string_view text);

class TableWriter {
public:
    // columns: the names of the fields of every row, plain identifiers
    // (letters, digits, '_'). The CSV header is written at once.
    TableWriter(std::FILE* out, TableFormat format, std::vector<std::string> columns);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // The next field of the current row, in column order.
    void add(std::uint64_t value);
    void add(std::int64_t value);
    void add(double value);  // shortest text that reads back; null in JSON when not finite
    void add(std::string_view text);
    // Ends the row; it must have one field per column.
    void endRow();
    // Writes what is buffered (also done by the destructor).
    void flush();

private:
    void beginField();

    std::FILE* out_;
    TableFormat format_;
    std::vector<std::string> columns_;
    std::size_t field_ = 0;
    std::string buffer_;
};

}  // namespace spatialgeom::tool
