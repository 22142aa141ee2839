// join and svg run on files as a user runs them, and the join's answers
// checked against testing every pair.
#include <gtest/gtest.h>

#include <cmath>

#include <random>
#include <sstream>

#include "tool_runner.h"
#include "tools/geometry_queries.h"
#include "tools/geometry_text.h"

namespace spatialgeom::tool::testing {
namespace {

std::size_t occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

TEST(ToolJoin, FindsTheMeetingPairsOfTheExamples) {
    const ToolRun run = runTool({"join", examplePath("a.wkt"), examplePath("b.wkt")});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // a1/b1: the point lies in the hole; a4/b4: the square lies in the hole;
    // a5/b5: the same square 5 apart in z.
    EXPECT_EQ(run.out, "1 2\n2 3\n2 8\n4 7\n4 8\n");
}

TEST(ToolJoin, WidensByTheTolerance) {
    EXPECT_EQ(runTool({"join", examplePath("a.wkt"), examplePath("b.wkt"), "--tolerance", "1"}).out,
              "1 2\n2 3\n2 8\n3 6\n4 4\n4 7\n4 8\n");
    const std::string wide = runTool({"join", "--tolerance", "5", examplePath("a.wkt"), examplePath("b.wkt")}).out;
    EXPECT_NE(wide.find("5 5\n"), std::string::npos) << wide;
}

TEST(ToolJoin, ReportsAndSkipsBadLines) {
    const std::string first = temporaryFile("first.wkt",
                                            "POINT(0 0 0)\n"
                                            "POINT(1 2\n"
                                            "\n"
                                            "POINT(1 2 3)x\r\n"
                                            "LINESTRING(0 0 0,9 9 0)\r\n");
    const std::string second = temporaryFile("second.wkt", "POINT(3 3 0)\nPOINT(0 0 0)");
    const ToolRun run = runTool({"join", first, second, "--threads", "3"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "1 2\n5 1\n5 2\n");
    EXPECT_NE(run.err.find(first + ":2: parse error"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(first + ":4: unexpected character 'x' at column 13"), std::string::npos) << run.err;
    EXPECT_EQ(occurrences(run.err, "\n"), 2u) << run.err;

    const ToolRun missing = runTool({"join", first, first + ".missing"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
}

TEST(ToolJoin, SummarisesAFileThatIsNoWkt) {
    std::string noise;
    for (int i = 0; i < 150; ++i) noise += "\x01\x02 binary " + std::to_string(i) + "\n";
    const std::string path = temporaryFile("noise.wkt", noise);
    const ToolRun run = runTool({"join", path, examplePath("a.wkt")});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(occurrences(run.err, "\n"), 101u);
    EXPECT_NE(run.err.find(path + ": 50 more lines refused\n"), std::string::npos) << run.err;
}

// Random small polygons, lines and points in a square of side `side`.
std::string randomGeometries(std::mt19937& random, std::size_t count, double side) {
    std::uniform_real_distribution<double> position(0.0, side);
    std::uniform_real_distribution<double> step(-2.0, 2.0);
    std::ostringstream text;
    text.precision(17);
    for (std::size_t i = 0; i < count; ++i) {
        const double x = position(random), y = position(random), z = step(random);
        switch (i % 3) {
            case 0:
                text << "POLYGON((" << x << " " << y << " " << z << "," << x + 2 << " " << y << " " << z << "," << x + 1
                     << " " << y + 2 << " " << z << "," << x << " " << y << " " << z << "))\n";
                break;
            case 1:
                text << "LINESTRING(" << x << " " << y << " " << z << "," << x + step(random) << " " << y + step(random)
                     << " " << z + step(random) << ")\n";
                break;
            default: text << "POINT(" << x << " " << y << " " << z << ")\n";
        }
    }
    return text.str();
}

std::vector<RecordPtr> parseLines(const std::string& text) {
    std::vector<RecordPtr> records;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) records.push_back(parseGeometry(line).record);
    return records;
}

// Random geometries, and large polygons (prepared once in the join, tested
// against many candidates), tilted, one with a hole: the pairs of testing
// every pair, on any number of threads.
TEST(ToolJoin, AgreesWithTestingEveryPairWhateverTheThreadCount) {
    std::mt19937 random(11);
    std::ostringstream big;
    big.precision(17);
    for (int polygon = 0; polygon < 3; ++polygon) {
        const double cx = 15.0 + 15.0 * polygon, cy = 30.0, radius = 12.0;
        big << "POLYGON((";
        for (int i = 0; i <= 400; ++i) {
            const double angle = 6.283185307179586 * (i % 400) / 400;
            const double r = radius * (i % 2 ? 0.8 : 1.0);
            const double x = cx + r * std::cos(angle), y = cy + r * std::sin(angle);
            big << (i ? "," : "") << x << " " << y << " " << 0.05 * polygon * (x - cx);
        }
        big << ")";
        if (polygon == 1)
            big << ",(" << cx - 2 << " " << cy - 2 << " 0," << cx + 2 << " " << cy - 2 << " 0," << cx << " " << cy + 2
                << " 0," << cx - 2 << " " << cy - 2 << " 0)";
        big << ")\n";
    }
    const std::string first = big.str() + randomGeometries(random, 200, 60.0);
    const std::string second = randomGeometries(random, 400, 60.0);
    const std::vector<RecordPtr> a = parseLines(first), b = parseLines(second);
    const std::string firstPath = temporaryFile("random-a.wkt", first);
    const std::string secondPath = temporaryFile("random-b.wkt", second);
    for (double tolerance : {0.0, 0.25}) {
        std::string expected;
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b.size(); ++j)
                if (geometriesMeet(a[i].get(), b[j].get(), tolerance))
                    expected += std::to_string(i + 1) + " " + std::to_string(j + 1) + "\n";
        ASSERT_GT(occurrences(expected, "\n"), 10u);
        for (const char* threads : {"1", "2", "5"}) {
            const ToolRun run = runTool(
                {"join", firstPath, secondPath, "--tolerance", std::to_string(tolerance), "--threads", threads});
            EXPECT_EQ(run.exitStatus, 0) << run.err;
            EXPECT_EQ(run.out, expected) << "tolerance " << tolerance << ", " << threads << " threads";
        }
    }
}

// Tags balance and every element is closed: enough to catch broken output.
bool wellFormed(const std::string& xml) {
    std::vector<std::string> open;
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        const std::size_t end = xml.find('>', at);
        if (end == std::string::npos) return false;
        const std::string tag = xml.substr(at + 1, end - at - 1);
        at = end + 1;
        if (tag.starts_with("?")) continue;
        if (tag.ends_with("/")) continue;
        const bool closing = tag.starts_with("/");
        std::string name = tag.substr(closing ? 1 : 0);
        name = name.substr(0, name.find_first_of(" /"));
        if (!closing) {
            open.push_back(name);
        } else if (open.empty() || open.back() != name) {
            return false;
        } else {
            open.pop_back();
        }
    }
    return open.empty();
}

TEST(ToolSvg, DrawsTheExamplesWithMeetingGeometriesHighlighted) {
    const ToolRun run = runTool({"svg", examplePath("a.wkt"), examplePath("b.wkt")});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("<?xml")) << run.out.substr(0, 40);
    EXPECT_TRUE(run.out.ends_with("</svg>\n"));
    EXPECT_TRUE(wellFormed(run.out));
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
    EXPECT_TRUE(wellFormed(run.out));
    EXPECT_NE(run.out.find("a&amp;b&lt;c&gt;.wkt:3"), std::string::npos);
    EXPECT_EQ(occurrences(run.out, "<circle"), 2u);
    EXPECT_NE(run.err.find(":2: parse error"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace spatialgeom::tool::testing
