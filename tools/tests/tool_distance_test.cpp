// spatialgeom distance run as a user runs it: the distance and the points,
// collections by their nearest member, standard input, precision, and the
// refusals with their statuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_runner.h"

namespace spatialgeom::tool::testing {
namespace {

constexpr const char* kSquareWithHole = "POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0))";

ToolRun distance(const std::vector<std::string>& arguments, const std::string& input = "") {
    std::vector<std::string> all = {"distance"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runTool(all, input);
}

// Worked by hand: over the region, in the hole (nearest to the hole's
// ring), through the region, a collection's nearest member on either side.
TEST(ToolDistance, PrintsTheDistanceAndAPointOfEach) {
    const std::pair<ToolRun, const char*> runs[] = {
        {distance({"POINT(0.5 0.5 3)", kSquareWithHole}), "distance: 3\non A: 0.5 0.5 3\non B: 0.5 0.5 0\n"},
        {distance({kSquareWithHole, "POINT(2 1.5 0)"}), "distance: 0.5\non A: 2 1 0\non B: 2 1.5 0\n"},
        {distance({"LINESTRING(0.5 2 -1,0.5 2 1)", kSquareWithHole}), "distance: 0\non A: 0.5 2 0\non B: 0.5 2 0\n"},
        {distance({"GEOMETRYCOLLECTION(POINT(10 0 0),POINT(5 0 0),POINT(-5 0 0))", "POINT(0 0 0)"}),
         "distance: 5\non A: 5 0 0\non B: 0 0 0\n"},
        {distance({"POINT(0 0 0)", "GEOMETRYCOLLECTION(POINT(10 0 0),LINESTRING(3 -1 4,3 1 4))"}),
         "distance: 5\non A: 0 0 0\non B: 3 0 4\n"},
        {distance({"-", "POINT(1 2 2)"}, "POINT(0 0 0)\n"), "distance: 3\non A: 0 0 0\non B: 1 2 2\n"},
        // The exact distance rounded upwards, then to the digits asked for.
        {distance({"POINT(2 2 1)", kSquareWithHole}), "distance: 1.4142135623730951\non A: 2 2 1\non B: 2 1 0\n"},
        {distance({"--precision", "3", "POINT(0 0 0)", "POINT(1 1 1)"}), "distance: 1.73\non A: 0 0 0\non B: 1 1 1\n"},
        // A line of one vertex has no point: nothing is near it.
        {distance({"LINESTRING(1 2 3)", "POINT(0 0 0)"}), "distance: inf\non A: none\non B: none\n"},
    };
    for (const auto& [run, out] : runs) {
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.out, out);
    }
}

TEST(ToolDistance, RefusesMistakesAndBadGeometries) {
    const std::vector<std::vector<std::string>> mistakes = {
        {"POINT(0 0 0)"},
        {"POINT(0 0 0)", "POINT(0 0 0)", "POINT(0 0 0)"},
        {"-", "-"},
        {"POINT(0 0 0)", "POINT(0 0 0)", "--precision", "0"},
        {"POINT(0 0 0)", "POINT(0 0 0)", "--precision", "18"},
        {"POINT(0 0 0)", "POINT(0 0 0)", "--precision"},
        {"POINT(0 0 0)", "POINT(0 0 0)", "--tolerance", "1"},
    };
    for (const auto& arguments : mistakes) {
        const ToolRun run = distance(arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments[0] << ": " << run.err;
        EXPECT_FALSE(run.err.empty());
        EXPECT_TRUE(run.out.empty());
    }
    const ToolRun bad = distance({"POINT(1 2", "POINT(0 0 0)"});
    EXPECT_EQ(bad.exitStatus, 1);
    EXPECT_EQ(bad.err, "spatialgeom: cannot read the geometry 'POINT(1 2': parse error, at or near \"\"\n");
    EXPECT_TRUE(bad.out.empty());
}

}  // namespace
}  // namespace spatialgeom::tool::testing
