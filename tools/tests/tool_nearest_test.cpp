// nearest run on files as a user runs it, and its answers checked against
// measuring every pair with the library's distance.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "spatialgeom/queries.h"
#include "tool_runner.h"
#include "tools/geometry_text.h"
#include "tools/number_text.h"

namespace spatialgeom::tool::testing {
namespace {

TEST(ToolNearest, FindsTheNearestOfEachExample) {
    const ToolRun run = runTool({"nearest", examplePath("a.wkt"), examplePath("b.wkt")});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // b1 lies in the hole of a1, 2 from its ring; b4 in a hole of a4, 1
    // from it; b5 is a5 moved 5 down; b6 is a3 raised 0.5; b8 touches a2
    // and a4 (the first wins).
    EXPECT_EQ(run.out, "1 1 2\n2 1 0\n3 2 0\n4 4 1\n5 5 5\n6 3 0.5\n7 4 0\n8 2 0\n");
    EXPECT_EQ(runTool({"nearest", examplePath("a.wkt"), examplePath("b.wkt"), "--max-distance", "1"}).out,
              "2 1 0\n3 2 0\n4 4 1\n6 3 0.5\n7 4 0\n8 2 0\n");
    const ToolRun csv =
        runTool({"nearest", examplePath("a.wkt"), examplePath("b.wkt"), "--max-distance", "0.5", "--format", "csv"});
    EXPECT_EQ(csv.out, "b,a,distance\n2,1,0\n3,2,0\n6,3,0.5\n7,4,0\n8,2,0\n");
    const ToolRun json = runTool({"nearest", examplePath("a.wkt"), examplePath("b.wkt"), "--max-distance", "0",
                                  "--format", "json", "--threads", "3"});
    EXPECT_EQ(json.out.substr(0, json.out.find('\n')), R"({"b":2,"a":1,"distance":0})");
}

TEST(ToolNearest, RefusesBadOptionsAndSkipsBadLines) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"nearest", examplePath("a.wkt")},
          {"nearest", examplePath("a.wkt"), examplePath("b.wkt"), "--max-distance", "-1"},
          {"nearest", examplePath("a.wkt"), examplePath("b.wkt"), "--max-distance", "far"},
          {"nearest", examplePath("a.wkt"), examplePath("b.wkt"), "--tolerance", "1"}}) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.back();
        EXPECT_EQ(run.out, "");
    }
    const std::string first = temporaryFile("near-first.wkt", "POINT(0 0 0)\nPOINT(1 2\n\nPOINT(3 0 0)\n");
    const std::string second = temporaryFile("near-second.wkt", "POINT(2.5 0 0)\nLINESTRING(0 1 0\nPOINT(0 0 1)\n");
    const ToolRun run = runTool({"nearest", first, second});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "1 4 0.5\n3 1 1\n");
    EXPECT_NE(run.err.find(first + ":2: parse error"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(second + ":2: parse error"), std::string::npos) << run.err;
}

// Points, lines and tilted triangles in a square: the nearest of each by
// measuring every pair, on any number of threads.
TEST(ToolNearest, AgreesWithMeasuringEveryPair) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> position(0.0, 50.0), step(-2.0, 2.0);
    const auto lines = [&](std::size_t count) {
        std::ostringstream text;
        text.precision(17);
        for (std::size_t i = 0; i < count; ++i) {
            const double x = position(random), y = position(random), z = step(random);
            if (i % 3 == 0) {
                text << "POLYGON((" << x << " " << y << " " << z << "," << x + 2 << " " << y << " " << z + step(random)
                     << "," << x << " " << y + 2 << " " << z << "," << x << " " << y << " " << z << "))\n";
            } else if (i % 3 == 1) {
                text << "LINESTRING(" << x << " " << y << " " << z << "," << x + step(random) << " " << y + step(random)
                     << " " << z << ")\n";
            } else {
                text << "POINT(" << x << " " << y << " " << z << ")\n";
            }
        }
        return text.str();
    };
    const std::string first = lines(200), second = lines(150);
    std::vector<RecordPtr> a, b;
    for (auto [text, records] : {std::pair{&first, &a}, std::pair{&second, &b}}) {
        std::istringstream in(*text);
        for (std::string line; std::getline(in, line);) records->push_back(parseGeometry(line).record);
    }
    const double maxDistance = 3.0;
    std::string expected;
    for (std::size_t j = 0; j < b.size(); ++j) {
        double best = INFINITY;
        std::size_t nearest = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            double d = 0.0;
            ASSERT_EQ(spatialWKB_distance(a[i].get(), b[j].get(), &d, nullptr, nullptr), 0u);
            if (d < best) {
                best = d;
                nearest = i;
            }
        }
        if (best <= maxDistance)
            expected += std::to_string(j + 1) + " " + std::to_string(nearest + 1) + " " + numberText(best) + "\n";
    }
    const std::string firstPath = temporaryFile("near-a.wkt", first), secondPath = temporaryFile("near-b.wkt", second);
    for (const char* threads : {"1", "3"}) {
        const ToolRun run = runTool({"nearest", firstPath, secondPath, "--max-distance", "3", "--threads", threads});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, expected) << threads << " threads";
    }
}

}  // namespace
}  // namespace spatialgeom::tool::testing
