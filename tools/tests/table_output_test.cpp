// The result formats: each checked against text written out by hand, and
// the three formats of one join read back to the same pairs.
#include "tools/table_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <utility>
#include <vector>

#include "tool_runner.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool::testing {
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

TEST(TableOutput, FormatNames) {
    EXPECT_EQ(parseTableFormat("pairs"), TableFormat::kPairs);
    EXPECT_EQ(parseTableFormat("csv"), TableFormat::kCsv);
    EXPECT_EQ(parseTableFormat("json"), TableFormat::kJson);
    for (const char* wrong : {"", "CSV", "jsonl", "pair"}) EXPECT_THROW(parseTableFormat(wrong), ToolError) << wrong;
}

// Pairs read from each line of text with a scanf pattern of its own; every
// line (but a header) must match it whole.
std::vector<std::pair<int, int>> pairsIn(const std::string& text, const char* pattern, bool header = false) {
    std::vector<std::pair<int, int>> pairs;
    std::istringstream lines(text);
    std::string line;
    if (header) std::getline(lines, line);
    while (std::getline(lines, line)) {
        int first = 0, second = 0, length = 0;
        if (std::sscanf(line.c_str(), pattern, &first, &second, &length) != 2 ||
            static_cast<std::size_t>(length) != line.size()) {
            ADD_FAILURE() << "not a pair: '" << line << "'";
            continue;
        }
        pairs.emplace_back(first, second);
    }
    return pairs;
}

TEST(TableOutput, JoinGivesTheSamePairsInEveryFormat) {
    const std::vector<std::string> join = {"join", examplePath("a.wkt"), examplePath("b.wkt"), "--tolerance", "1"};
    auto withFormat = [&](const char* format) {
        std::vector<std::string> arguments = join;
        arguments.insert(arguments.end(), {"--format", format});
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        return run.out;
    };
    const std::string plain = runTool(join).out;
    EXPECT_EQ(withFormat("pairs"), plain);
    const std::vector<std::pair<int, int>> expected = pairsIn(plain, "%d %d%n");
    ASSERT_EQ(expected.size(), 7u) << plain;

    const std::string csv = withFormat("csv");
    EXPECT_EQ(csv.rfind("a,b\n", 0), 0u) << csv;
    EXPECT_EQ(pairsIn(csv, "%d,%d%n", true), expected) << csv;

    const std::string json = withFormat("json");
    EXPECT_EQ(pairsIn(json, "{\"a\":%d,\"b\":%d}%n"), expected) << json;
}

}  // namespace
}  // namespace spatialgeom::tool::testing
