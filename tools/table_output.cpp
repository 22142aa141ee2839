#include "tools/table_output.h"

#include <cassert>
#include <charconv>
#include <cmath>

#include "tools/number_text.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 16;

void appendCsvText(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendJsonText(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 15];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace

TableFormat parseTableFormat(std::string_view text) {
    if (text == "pairs") return TableFormat::kPairs;
    if (text == "csv") return TableFormat::kCsv;
    if (text == "json") return TableFormat::kJson;
    throw usageError("--format must be pairs, csv or json, not '" + std::string(text) + "'");
}

TableWriter::TableWriter(std::FILE* out, TableFormat format, std::vector<std::string> columns)
    : out_(out), format_(format), columns_(std::move(columns)) {
    if (format_ == TableFormat::kCsv) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (i > 0) buffer_ += ',';
            buffer_ += columns_[i];
        }
        buffer_ += '\n';
    }
}

TableWriter::~TableWriter() { flush(); }

void TableWriter::beginField() {
    assert(field_ < columns_.size());
    switch (format_) {
        case TableFormat::kPairs:
            if (field_ > 0) buffer_ += ' ';
            break;
        case TableFormat::kCsv:
            if (field_ > 0) buffer_ += ',';
            break;
        case TableFormat::kJson:
            buffer_ += field_ == 0 ? "{\"" : ",\"";
            buffer_ += columns_[field_];
            buffer_ += "\":";
            break;
    }
    ++field_;
}

void TableWriter::add(std::uint64_t value) {
    beginField();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    buffer_.append(digits, end);
}

void TableWriter::add(std::int64_t value) {
    beginField();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    buffer_.append(digits, end);
}

void TableWriter::add(double value) {
    beginField();
    if (format_ == TableFormat::kJson && !std::isfinite(value)) {
        buffer_ += "null";
    } else {
        buffer_ += numberText(value);
    }
}

void TableWriter::add(std::string_view text) {
    beginField();
    switch (format_) {
        case TableFormat::kPairs: buffer_ += text; break;
        case TableFormat::kCsv: appendCsvText(buffer_, text); break;
        case TableFormat::kJson: appendJsonText(buffer_, text); break;
    }
}

void TableWriter::endRow() {
    assert(field_ == columns_.size());
    if (format_ == TableFormat::kJson) buffer_ += '}';
    buffer_ += '\n';
    field_ = 0;
    if (buffer_.size() >= kFlushSize) flush();
}

void TableWriter::flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
    buffer_.clear();
}

}  // namespace spatialgeom::tool
