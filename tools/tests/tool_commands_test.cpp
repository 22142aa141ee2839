// The single-geometry commands run as a user runs them: output, exit
// status and messages, bad input included.
#include <gtest/gtest.h>

#include "tool_runner.h"
#include "tools/tool_error.h"
#include "tools/tool_main.h"

namespace spatialgeom::tool::testing {
namespace {

constexpr const char* kSquareWithHole = "POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0))";

// The arguments, the text on standard input and what standard output must
// then hold.
struct OutputCase {
    std::vector<std::string> arguments;
    std::string input;
    const char* out;
};

// info from an argument and from standard input (a line ended by CR LF);
// transform keeps collection members; intersects answers within the
// tolerance, options before or after the geometries; distance writes the
// exact distance rounded upwards, a collection by its nearest member on
// either side, to the digits asked for, and nothing for a line of one
// vertex.
TEST(ToolOutput, CommandsWriteTheExpectedText) {
    const OutputCase cases[] = {
        {{"info", kSquareWithHole},
         "",
         "kind: polygon\npolygons: 1\nrings: 2\nlines: 0\npoints: 0\nvertices: 10\nbytes: 296\nrange: 0 0 0 .. 4 4 0\n"},
        {{"info"},
         "GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(0 0 0,1 1 -1))\r\n",
         "kind: geometrycollection\nmembers: 2\npolygons: 0\nrings: 0\nlines: 1\npoints: 1\nvertices: 3\n"
         "bytes: 144\nrange: 0 0 -1 .. 1 2 3\n"},
        {{"transform", "--scale", "2,2,2", "GEOMETRYCOLLECTION(POINT(1 1 1),POINT(2 2 2))"},
         "",
         "geometrycollection(point(2 2 2),point(4 4 4))\n"},
        {{"intersects", "POINT(2 2 3)", "POINT(2 2 0)", "--tolerance", "3"}, "", "true\n"},
        {{"intersects", "POINT(2 2 3)", "POINT(2 2 0)", "--tolerance", "2.5"}, "", "false\n"},
        {{"intersects", "--tolerance", "1e-3", "LINESTRING(0 0 0,10 0 0)", "POINT(5 0.001 0)"}, "", "true\n"},
        {{"distance", kSquareWithHole, "POINT(2 1.5 0)"}, "", "distance: 0.5\non A: 2 1 0\non B: 2 1.5 0\n"},
        {{"distance", "GEOMETRYCOLLECTION(POINT(10 0 0),POINT(5 0 0),POINT(-5 0 0))", "POINT(0 0 0)"},
         "",
         "distance: 5\non A: 5 0 0\non B: 0 0 0\n"},
        {{"distance", "POINT(0 0 0)", "GEOMETRYCOLLECTION(POINT(10 0 0),LINESTRING(3 -1 4,3 1 4))"},
         "",
         "distance: 5\non A: 0 0 0\non B: 3 0 4\n"},
        {{"distance", "-", "POINT(1 2 2)"}, "POINT(0 0 0)\n", "distance: 3\non A: 0 0 0\non B: 1 2 2\n"},
        {{"distance", "POINT(2 2 1)", kSquareWithHole}, "", "distance: 1.4142135623730951\non A: 2 2 1\non B: 2 1 0\n"},
        {{"distance", "--precision", "3", "POINT(0 0 0)", "POINT(1 1 1)"},
         "",
         "distance: 1.73\non A: 0 0 0\non B: 1 1 1\n"},
        {{"distance", "LINESTRING(1 2 3)", "POINT(0 0 0)"}, "", "distance: inf\non A: none\non B: none\n"},
    };
    for (const OutputCase& c : cases) {
        const ToolRun run = runTool(c.arguments, c.input);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

TEST(ToolInfo, RefusesBadTextWithTheReason) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"POINT(1 2", "parse error"},
        {"POINT(1 2 \x80)", "unexpected character \\x80 at column 11"},
        {"", "parse error"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool({"info", "-"}, c.text);
        EXPECT_EQ(run.exitStatus, 1) << c.text;
        EXPECT_EQ(run.out, "") << c.text;  // nothing echoed among the results
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.text << " gave " << run.err;
    }
}

TEST(ToolTransform, AppliesTransformsInTheOrderGiven) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--translate", "1,2,3"}, "point(1 2 3)\n"},
        {{"--translate", "1,0,0", "--scale", "2,2,2"}, "point(2 0 0)\n"},
        {{"--scale", "2,2,2", "--translate", "1,0,0"}, "point(1 0 0)\n"},
        {{"--translate", "1,2,3", "--scale", "2,2,2@1,1,1"}, "point(1 3 5)\n"},
        {{"--translate", "1,2,3", "--mirror", "0,0,0/1,0,0"}, "point(-1 2 3)\n"},
        {{"--translate", "1,0,0", "--rotate", "90", "--axis", "0,0,0,0,0,1"}, "point(6.12323e-17 1 0)\n"},
        {{"--translate", "1,0,0", "--rotate", "90"}, "point(6.12323e-17 1 0)\n"},
        {{"--translate", "1.23456789,0,0", "--precision", "9"}, "point(1.23456789 0 0)\n"},
    };
    for (const auto& [options, out] : cases) {
        std::vector<std::string> arguments = {"transform"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back("POINT(0 0 0)");
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, out) << options.back();
    }
}

// Every command's mistakes: a message, nothing on standard output, status 2.
TEST(ToolCommandLine, RefusesMistakesWithStatus2) {
    const std::string a = examplePath("a.wkt"), b = examplePath("b.wkt");
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"frobnicate"},
        {"intersects", "POINT(0 0 0)"},
        {"intersects", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance", "abc"},
        {"intersects", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance", "-1"},
        {"intersects", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance"},
        {"distance", "POINT(0 0 0)", "POINT(0 0 0)", "POINT(0 0 0)"},
        {"distance", "-", "-"},
        {"distance", "POINT(0 0 0)", "POINT(0 0 0)", "--precision", "18"},
        {"distance", "POINT(0 0 0)", "POINT(0 0 0)", "--tolerance", "1"},
        {"transform", "--scale", "1,2", "POINT(0 0 0)"},
        {"transform", "--rotate", "90", "--axis", "1,1,1,1,1,1", "POINT(0 0 0)"},
        {"transform", "--axis", "0,0,0,0,0,1", "POINT(0 0 0)"},
        {"transform", "--mirror", "0,0,0/0,0,0", "POINT(0 0 0)"},
        {"transform", "--precision", "0", "POINT(0 0 0)"},
        {"transform", "POINT(0 0 0)", "POINT(1 1 1)"},
        {"info", "POINT(0 0 0)", "--bogus"},
        {"join", "only-one.wkt"},
        {"join", "a", "b", "--threads", "0"},
        {"join", "a", "b", "--format", "xml"},
        {"join", "a", "b", "--output"},
        {"svg"},
        {"nearest", a},
        {"nearest", a, b, "--max-distance", "-1"},
        {"nearest", a, b, "--tolerance", "1"},
        {"convert", a},
        {"convert", a, "nowhere/out.txt"},
        {"convert", a, "-", "--precision", "0"},
    };
    for (const auto& arguments : mistakes) {
        const ToolRun run = runTool(arguments);
        const std::string line = arguments.empty() ? "" : arguments[0] + " " + arguments.back();
        EXPECT_EQ(run.exitStatus, 2) << line << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << line;
        EXPECT_EQ(run.out, "") << line;
    }
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
    for (const std::string text :
         {kSquareWithHole, "GEOMETRYCOLLECTION(POINT(1 2 3),POLYGON((0 0 0,1 0 0,1 1 0,0 0 0)))"}) {
        const ToolRun encoded = runTool({"encode", text});
        ASSERT_EQ(encoded.exitStatus, 0) << encoded.err;
        const ToolRun decoded = runTool({"decode", "--precision", "17"}, encoded.out);
        ASSERT_EQ(decoded.exitStatus, 0) << text << ": " << decoded.err;
        EXPECT_EQ(runTool({"encode", "-"}, decoded.out).out, encoded.out) << text << " came back as " << decoded.out;
    }
    const ToolRun point = runTool({"encode", "POINT(1 2 3)"});
    EXPECT_EQ(point.out.size(), 40u);
    EXPECT_EQ(runTool({"decode"}, point.out).out, "point(1 2 3)\n");
}

// Truncated, a byte too many, corrupted words: refused with status 1.
TEST(ToolCodec, DecodeRefusesBytesThatAreNoRecord) {
    const std::string polygon = runTool({"encode", kSquareWithHole}).out;
    ASSERT_EQ(polygon.size(), 296u);
    auto withWord = [&](std::size_t offset, std::uint32_t value) {
        std::string bytes = polygon;
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
        return bytes;
    };
    const std::string bad[] = {
        "",
        polygon.substr(0, 292),
        polygon + '\0',
        withWord(8, 9),            // unknown type
        withWord(36, 0x7fffffff),  // vertex count of the outer ring's subline
    };
    for (const std::string& bytes : bad) {
        const ToolRun run = runTool({"decode"}, bytes);
        EXPECT_EQ(run.exitStatus, 1) << bytes.size() << " bytes";
        EXPECT_NE(run.err.find(bytes.empty() ? "no record" : "not a record"), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace spatialgeom::tool::testing
