// The result formats, each checked against text written out by hand. The
// format names are checked where the commands take them (tool_files_test,
// and the refusal of 'CSV' in tool_commands_test).
#include "tools/table_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace spatialgeom::tool {
namespace {

std::string written(TableFormat format, const std::function<void(TableWriter&)>& rows) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&data, &size);
    {
        TableWriter table(memory, format, {"a", "b", "name"});
        rows(table);
    }
    std::fclose(memory);
    std::string text(data, size);
    std::free(data);
    return text;
}

void twoRows(TableWriter& table) {
    table.add(std::uint64_t{1});
    table.add(0.5);
    table.add(std::string_view("plain"));
    table.endRow();
    table.add(std::uint64_t{18446744073709551615u});
    table.add(-1e300);
    table.add(std::string_view("a \"b\", c\nd\\\x01"));
    table.endRow();
}

TEST(TableOutput, WritesEachFormatAsSpecified) {
    EXPECT_EQ(written(TableFormat::kPairs, twoRows),
              "1 0.5 plain\n"
              "18446744073709551615 -1e+300 a \"b\", c\nd\\\x01\n");
    EXPECT_EQ(written(TableFormat::kCsv, twoRows),
              "a,b,name\n"
              "1,0.5,plain\n"
              "18446744073709551615,-1e+300,\"a \"\"b\"\", c\nd\\\x01\"\n");
    EXPECT_EQ(written(TableFormat::kJson, twoRows),
              "{\"a\":1,\"b\":0.5,\"name\":\"plain\"}\n"
              "{\"a\":18446744073709551615,\"b\":-1e+300,\"name\":\"a \\\"b\\\", c\\nd\\\\\\u0001\"}\n");
    // No rows: CSV still has its header, the others nothing.
    EXPECT_EQ(written(TableFormat::kCsv, [](TableWriter&) {}), "a,b,name\n");
    EXPECT_EQ(written(TableFormat::kJson, [](TableWriter&) {}), "");
    // JSON has no infinity.
    EXPECT_EQ(written(TableFormat::kJson,
                      [](TableWriter& table) {
                          table.add(std::uint64_t{0});
                          table.add(1.0 / 0.0);
                          table.add(std::string_view(""));
                          table.endRow();
                      }),
              "{\"a\":0,\"b\":null,\"name\":\"\"}\n");
}

}  // namespace
}  // namespace spatialgeom::tool
