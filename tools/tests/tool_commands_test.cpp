// The single-geometry commands run as a user runs them: output, exit
// status and messages, bad input included.
#include <gtest/gtest.h>

#include <cstdio>

#include "tool_runner.h"
#include "tools/tool_error.h"
#include "tools/tool_main.h"

namespace spatialgeom::tool::testing {
namespace {

constexpr const char* kSquareWithHole = "POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0))";

// Arguments after the command, with standard input.
ToolRun runCommand(const char* command, const std::vector<std::string>& arguments, const std::string& input = "") {
    std::vector<std::string> all = {command};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runTool(all, input);
}

// info describes a polygon with a hole and a collection from standard input;
// transform keeps holes and collection members; intersects answers within
// the tolerance.
TEST(ToolOutput, CommandsWriteTheExpectedText) {
    const std::pair<ToolRun, const char*> runs[] = {
        {runCommand("info", {kSquareWithHole}),
         "kind: polygon\npolygons: 1\nrings: 2\nlines: 0\npoints: 0\nvertices: 10\nbytes: 296\nrange: 0 0 0 .. 4 4 0\n"},
        {runCommand("info", {}, "GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(0 0 0,1 1 -1))\r\n"),
         "kind: geometrycollection\nmembers: 2\npolygons: 0\nrings: 0\nlines: 1\npoints: 1\nvertices: 3\n"
         "bytes: 144\nrange: 0 0 -1 .. 1 2 3\n"},
        {runCommand("transform", {"--translate", "10,0,0", kSquareWithHole}),
         "polygon((10 0 0,14 0 0,14 4 0,10 4 0,10 0 0),(11 1 0,13 1 0,13 3 0,11 3 0,11 1 0))\n"},
        {runCommand("transform", {"--scale", "2,2,2", "GEOMETRYCOLLECTION(POINT(1 1 1),POINT(2 2 2))"}),
         "geometrycollection(point(2 2 2),point(4 4 4))\n"},
        {runCommand("intersects", {"POINT(2 2 0)", kSquareWithHole}), "false\n"},  // inside the hole
        {runCommand("intersects", {"POINT(0.5 2 0)", kSquareWithHole}), "true\n"},
        {runCommand("intersects", {"POINT(2 2 3)", "POINT(2 2 0)", "--tolerance", "3"}), "true\n"},
        {runCommand("intersects", {"POINT(2 2 3)", "POINT(2 2 0)", "--tolerance", "2.5"}), "false\n"},
        {runCommand("intersects", {"--tolerance", "1e-3", "LINESTRING(0 0 0,10 0 0)", "POINT(5 0.001 0)"}), "true\n"},
    };
    for (const auto& [run, out] : runs) {
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, out);
    }
}

TEST(ToolInfo, RefusesBadTextWithTheReason) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"POINT(1 2", "parse error"},
        {"POINT(1 2 3)x", "unexpected character 'x' at column 13"},
        {"Point(1 2 3)", "unexpected character 'P' at column 1"},
        {"POINT(1 2 \x80)", "unexpected character \\x80 at column 11"},
        {"", "parse error"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runCommand("info", {"-"}, c.text);
        EXPECT_EQ(run.exitStatus, 1) << c.text;
        EXPECT_EQ(run.out, "") << c.text;  // nothing echoed among the results
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.text << " gave " << run.err;
    }
}

TEST(ToolTransform, AppliesTransformsInTheOrderGiven) {
    struct Case {
        std::vector<std::string> arguments;
        const char* text;
    };
    const Case cases[] = {
        {{"--translate", "1,2,3"}, "point(1 2 3)"},
        {{"--translate", "1,0,0", "--scale", "2,2,2"}, "point(2 0 0)"},
        {{"--scale", "2,2,2", "--translate", "1,0,0"}, "point(1 0 0)"},
        {{"--translate", "1,2,3", "--scale", "2,2,2@1,1,1"}, "point(1 3 5)"},
        {{"--translate", "1,2,3", "--mirror", "0,0,0/1,0,0"}, "point(-1 2 3)"},
        {{"--translate", "1,0,0", "--rotate", "90", "--axis", "0,0,0,0,0,1"}, "point(0 1 0)"},
        {{"--translate", "1,0,0", "--rotate", "90"}, "point(0 1 0)"},
        {{"--translate", "1.23456789,0,0", "--precision", "9"}, "point(1.23456789 0 0)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("POINT(0 0 0)");
        const ToolRun run = runCommand("transform", arguments);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        double got[3] = {}, want[3] = {};
        ASSERT_EQ(std::sscanf(run.out.c_str(), "point(%lf %lf %lf)", &got[0], &got[1], &got[2]), 3) << run.out;
        ASSERT_EQ(std::sscanf(c.text, "point(%lf %lf %lf)", &want[0], &want[1], &want[2]), 3);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-12) << run.out;
    }
}

TEST(ToolCommandLine, RefusesMistakesWithStatus2) {
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"frobnicate"},
        {"intersects", "POINT(0 0 0)"},
        {"intersects", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance", "abc"},
        {"intersects", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance", "-1"},
        {"intersects", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance"},
        {"transform", "--scale", "1,2", "POINT(0 0 0)"},
        {"transform", "--rotate", "90", "--axis", "1,1,1,1,1,1", "POINT(0 0 0)"},
        {"transform", "--axis", "0,0,0,0,0,1", "POINT(0 0 0)"},
        {"transform", "--mirror", "0,0,0/0,0,0", "POINT(0 0 0)"},
        {"transform", "--precision", "0", "POINT(0 0 0)"},
        {"transform", "POINT(0 0 0)", "POINT(1 1 1)"},
        {"info", "POINT(0 0 0)", "--bogus"},
        {"join", "only-one.wkt"},
        {"join", "a", "b", "--threads", "0"},
        {"svg"},
        {"join", "a", "b", "--format", "xml"},
        {"join", "a", "b", "--output"},
    };
    for (const auto& arguments : mistakes) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitStatus, 2) << (arguments.empty() ? "" : arguments[0]) << ": " << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(runTool({"--help"}).exitStatus, 0);
}

// The entry of the binary, linked into the tests: errors thrown by a
// command end as a message and an exit status.
TEST(ToolMain, TurnsErrorsIntoMessagesAndStatuses) {
    char name[] = "spatialgeom", command[] = "info", text[] = "POINT(1 2";
    char* argv[] = {name, command, text, nullptr};
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(toolMain(3, argv), kExitBadInput);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "spatialgeom: cannot read the geometry 'POINT(1 2': parse error, at or near \"\"\n");
}

TEST(ToolCodec, DecodeOfEncodeGivesTheSameRecord) {
    const std::vector<std::string> texts = {
        "POINT(1 2 3)",
        "LINESTRING(0 0 0,1 1 1,2 0 -1)",
        kSquareWithHole,
        "MULTIPOINT((1 2 3),(4 5 6))",
        "MULTILINESTRING((0 0 0,1 1 1),(2 2 2,3 3 3,4 4 4))",
        "MULTIPOLYGON(((0 0 0,1 0 0,1 1 0,0 0 0)),((5 5 0,9 5 0,9 9 0,5 9 0,5 5 0),(6 6 0,8 6 0,8 8 0,6 6 0)))",
        "GEOMETRYCOLLECTION(POINT(1 2 3),POLYGON((0 0 0,1 0 0,1 1 0,0 0 0)))",
    };
    for (const std::string& text : texts) {
        const ToolRun encoded = runTool({"encode", text});
        ASSERT_EQ(encoded.exitStatus, 0) << encoded.err;
        const ToolRun decoded = runTool({"decode", "--precision", "17"}, encoded.out);
        ASSERT_EQ(decoded.exitStatus, 0) << text << ": " << decoded.err;
        const ToolRun again = runTool({"encode", "-"}, decoded.out);
        EXPECT_EQ(again.out, encoded.out) << text << " came back as " << decoded.out;
    }
    const ToolRun point = runTool({"encode", "POINT(1 2 3)"});
    EXPECT_EQ(point.out.size(), 40u);
    EXPECT_EQ(runTool({"decode"}, point.out).out, "point(1 2 3)\n");
}

TEST(ToolCodec, DecodeRefusesBytesThatAreNoRecord) {
    const std::string polygon = runTool({"encode", kSquareWithHole}).out;
    ASSERT_EQ(polygon.size(), 296u);
    // Every truncation, a byte too many, and corrupted words.
    std::vector<std::string> bad;
    for (std::size_t length = 0; length < polygon.size(); length += 4) bad.push_back(polygon.substr(0, length));
    bad.push_back(polygon + '\0');
    auto withWord = [&](std::size_t offset, std::uint32_t value) {
        std::string bytes = polygon;
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    bad.push_back(withWord(8, 9));            // unknown type
    bad.push_back(withWord(12, 300));         // totalSize differs from the layout
    bad.push_back(withWord(16, 0xffffffff));  // ring count
    bad.push_back(withWord(36, 0x7fffffff));  // vertex count of the outer ring's subline
    for (const std::string& bytes : bad) {
        const ToolRun run = runTool({"decode"}, bytes);
        EXPECT_EQ(run.exitStatus, 1) << bytes.size() << " bytes";
        EXPECT_NE(run.err.find(bytes.empty() ? "no record" : "not a record"), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace spatialgeom::tool::testing
