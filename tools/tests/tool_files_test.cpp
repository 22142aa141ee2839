// join, nearest and svg run on files as a user runs them: ids, formats,
// bad lines, and the same output on any number of threads.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "tool_runner.h"

namespace spatialgeom::tool::testing {
namespace {

std::size_t occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

// a1/b1: the point lies in the hole; a4/b4: the square lies in the hole;
// a5/b5: the same square 5 apart in z; b6 is a3 raised 0.5; b8 touches a2
// and a4 (the first is the nearest).
TEST(ToolFiles, JoinAndNearestAnswerOnTheExamples) {
    const std::string a = examplePath("a.wkt"), b = examplePath("b.wkt");
    expectRuns({
        {{"join", a, b}, 0, "1 2\n2 3\n2 8\n4 7\n4 8\n"},
        {{"join", a, b, "--output", "-", "--format", "pairs"}, 0, "1 2\n2 3\n2 8\n4 7\n4 8\n"},
        {{"join", a, b, "--tolerance", "1"}, 0, "1 2\n2 3\n2 8\n3 6\n4 4\n4 7\n4 8\n"},
        {{"join", a, b, "--format", "json"},
         0,
         "{\"a\":1,\"b\":2}\n{\"a\":2,\"b\":3}\n{\"a\":2,\"b\":8}\n{\"a\":4,\"b\":7}\n{\"a\":4,\"b\":8}\n"},
        {{"nearest", a, b}, 0, "1 1 2\n2 1 0\n3 2 0\n4 4 1\n5 5 5\n6 3 0.5\n7 4 0\n8 2 0\n"},
        {{"nearest", a, b, "--max-distance", "1"}, 0, "2 1 0\n3 2 0\n4 4 1\n6 3 0.5\n7 4 0\n8 2 0\n"},
        {{"nearest", a, b, "--max-distance", "0.5", "--format", "csv"},
         0,
         "b,a,distance\n2,1,0\n3,2,0\n6,3,0.5\n7,4,0\n8,2,0\n"},
        {{"nearest", a, b, "--max-distance", "0", "--format", "json", "--threads", "3"},
         0,
         "{\"b\":2,\"a\":1,\"distance\":0}\n{\"b\":3,\"a\":2,\"distance\":0}\n{\"b\":7,\"a\":4,\"distance\":0}\n"
         "{\"b\":8,\"a\":2,\"distance\":0}\n"},
    });
}

// Blank lines count; refused lines are reported by number and skipped, by
// join and by nearest; a file that is no WKT is summarised after 100 lines.
TEST(ToolFiles, ReportsAndSkipsBadLines) {
    const std::string first = temporaryFile("first.wkt",
                                            "POINT(0 0 0)\n"
                                            "POINT(1 2\n"
                                            "\n"
                                            "POINT(1 2 3)x\r\n"
                                            "LINESTRING(0 0 0,9 9 0)\r\n");
    const std::string second = temporaryFile("second.wkt", "POINT(3 3 0)\nPOINT(0 0 0)");
    const std::vector<std::string> reasons = {first + ":2: parse error",
                                              first + ":4: unexpected character 'x' at column 13"};
    std::string noise;
    for (int i = 0; i < 150; ++i) noise += "\x01\x02 binary " + std::to_string(i) + "\n";
    const std::string noWkt = temporaryFile("noise.wkt", noise);
    std::vector<std::string> noiseReasons;
    for (int i = 1; i <= 100; ++i) noiseReasons.push_back(noWkt + ":" + std::to_string(i) + ": ");
    noiseReasons.push_back(noWkt + ": 50 more lines refused");
    expectRuns({
        {{"join", first, second, "--threads", "3"}, 1, "1 2\n5 1\n5 2\n", reasons},
        {{"nearest", second, first}, 1, "1 2 0\n5 1 0\n", reasons},
        {{"join", second, second + ".missing"}, 1, "", {"cannot open " + second + ".missing"}},
        {{"join", noWkt, examplePath("a.wkt")}, 1, "", noiseReasons},
    });
}

// Files of more lines than one thread's share of the reading, joined and
// searched on one thread and on several: the same output.
TEST(ToolFiles, ThreadsGiveTheSameOutput) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> position(0.0, 100.0);
    std::string paths[2];
    for (int file = 0; file < 2; ++file) {
        std::ostringstream text;
        for (int i = 0; i < 1500; ++i) {
            const double x = position(random), y = position(random);
            if (i % 2) {
                text << "LINESTRING(" << x << " " << y << " 0," << x + 2 << " " << y + 1 << " 1)\n";
            } else {
                text << "POINT(" << x << " " << y << " 0)\n";
            }
        }
        paths[file] = temporaryFile("threads-" + std::to_string(file) + ".wkt", text.str());
    }
    for (const auto& [command, reach] : {std::pair{"join", "--tolerance"}, {"nearest", "--max-distance"}}) {
        std::vector<std::string> outputs;
        for (const char* threads : {"1", "5"}) {
            const ToolRun run = runTool({command, paths[0], paths[1], reach, "0.5", "--threads", threads});
            EXPECT_EQ(run.exitStatus, 0) << run.err;
            outputs.push_back(run.out);
        }
        EXPECT_GT(occurrences(outputs[0], "\n"), 100u) << command;
        EXPECT_EQ(outputs[1], outputs[0]) << command << " on 5 threads";
    }
}

// The picture itself, a whole SVG document, is judged by svg_render_test.cpp.
TEST(ToolSvg, DrawsTheExamplesWithMeetingGeometriesHighlighted) {
    const ToolRun run = runTool({"svg", examplePath("a.wkt"), examplePath("b.wkt")});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(occurrences(run.out, "<g fill="), 13u);
    // a1, a2, a4 and b1, b2, b3, b7, b8 meet another geometry.
    EXPECT_EQ(occurrences(run.out, "<g fill=\"#ee3333\""), 8u);
    EXPECT_NE(run.out.find("fill-rule:evenodd"), std::string::npos);
    EXPECT_NE(run.out.find("<title>" + examplePath("a.wkt") + ":1</title>"), std::string::npos);
}

TEST(ToolSvg, EscapesNamesAndReportsBadLines) {
    const std::string path = temporaryFile("a&b<c>.wkt", "POINT(0 0 0)\nPOINT(0 0\nPOINT(0 0 0)\n");
    const ToolRun run = runTool({"svg", path});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("a&amp;b&lt;c&gt;.wkt:3"), std::string::npos);
    EXPECT_EQ(run.out.find("a&b<c>"), std::string::npos);  // nowhere unescaped
    // The legend names each file, and standard input as such.
    EXPECT_NE(run.out.find("a&amp;b&lt;c&gt;.wkt<"), std::string::npos);
    EXPECT_NE(runTool({"svg", "-"}, "POINT(0 0 0)\n").out.find(">standard input<"), std::string::npos);
    EXPECT_EQ(occurrences(run.out, "<circle"), 2u);
    EXPECT_NE(run.err.find(":2: parse error"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace spatialgeom::tool::testing
