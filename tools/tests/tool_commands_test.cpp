// The single-geometry commands run as a user runs them: output, exit
// status and messages, bad input included.
#include <gtest/gtest.h>

#include "tool_runner.h"

namespace spatialgeom::tool::testing {
namespace {

constexpr const char* kSquareWithHole = "POLYGON((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0),(1 1 0,3 1 0,3 3 0,1 3 0,1 1 0))";

// info from an argument and from standard input (a line ended by CR LF);
// transform keeps collection members and applies its transforms in the
// order given; intersects answers within the tolerance, options before or
// after the geometries; distance writes the exact distance rounded
// upwards, a collection by its nearest member on either side, to the
// digits asked for, and nothing for a line of one vertex.
TEST(ToolOutput, CommandsWriteTheExpectedText) {
    expectRuns({
        {{"info", kSquareWithHole},
         0,
         "kind: polygon\npolygons: 1\nrings: 2\nlines: 0\npoints: 0\nvertices: 10\nbytes: 296\nrange: 0 0 0 .. 4 4 0\n"},
        {{"info"},
         0,
         "kind: geometrycollection\nmembers: 2\npolygons: 0\nrings: 0\nlines: 1\npoints: 1\nvertices: 3\n"
         "bytes: 144\nrange: 0 0 -1 .. 1 2 3\n",
         {},
         "GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(0 0 0,1 1 -1))\r\n"},
        {{"transform", "--scale", "2,2,2", "GEOMETRYCOLLECTION(POINT(1 1 1),POINT(2 2 2))"},
         0,
         "geometrycollection(point(2 2 2),point(4 4 4))\n"},
        {{"transform", "--translate", "1,0,0", "--scale", "2,2,2", "POINT(0 0 0)"}, 0, "point(2 0 0)\n"},
        {{"transform", "--translate", "1,2,3", "--scale", "2,2,2@1,1,1", "POINT(0 0 0)"}, 0, "point(1 3 5)\n"},
        {{"transform", "--translate", "1,2,3", "--mirror", "0,0,0/1,0,0", "POINT(0 0 0)"}, 0, "point(-1 2 3)\n"},
        {{"transform", "--translate", "0,1,0", "--rotate", "90", "--axis", "0,0,0,1,0,0", "POINT(0 0 0)"},
         0,
         "point(0 6.12323e-17 1)\n"},
        {{"transform", "--translate", "1,0,0", "--rotate", "90", "POINT(0 0 0)"}, 0, "point(6.12323e-17 1 0)\n"},
        {{"transform", "--translate", "1.23456789,0,0", "--precision", "9", "POINT(0 0 0)"},
         0,
         "point(1.23456789 0 0)\n"},
        {{"intersects", "POINT(2 2 3)", "POINT(2 2 0)", "--tolerance", "3"}, 0, "true\n"},
        {{"intersects", "POINT(2 2 3)", "POINT(2 2 0)", "--tolerance", "2.5"}, 0, "false\n"},
        {{"intersects", "--tolerance", "1e-3", "LINESTRING(0 0 0,10 0 0)", "POINT(5 0.001 0)"}, 0, "true\n"},
        {{"distance", "GEOMETRYCOLLECTION(POINT(10 0 0),POINT(5 0 0),POINT(-5 0 0))", "POINT(0 0 0)"},
         0,
         "distance: 5\non A: 5 0 0\non B: 0 0 0\n"},
        {{"distance", "POINT(0 0 0)", "GEOMETRYCOLLECTION(POINT(10 0 0),LINESTRING(3 -1 4,3 1 4))"},
         0,
         "distance: 5\non A: 0 0 0\non B: 3 0 4\n"},
        {{"distance", "-", "POINT(1 2 2)"}, 0, "distance: 3\non A: 0 0 0\non B: 1 2 2\n", {}, "POINT(0 0 0)\n"},
        {{"distance", "POINT(2 2 1)", kSquareWithHole}, 0, "distance: 1.4142135623730951\non A: 2 2 1\non B: 2 1 0\n"},
        {{"distance", "--precision", "3", "POINT(0 0 0)", "POINT(1 1 1)"},
         0,
         "distance: 1.73\non A: 0 0 0\non B: 1 1 1\n"},
        {{"distance", "LINESTRING(1 2 3)", "POINT(0 0 0)"}, 0, "distance: inf\non A: none\non B: none\n"},
    });
}

// Every command's mistakes: their reason, nothing on standard output,
// status 2; text that is no geometry: the reason (once as a whole line, as
// the README shows it), nothing echoed, status 1.
TEST(ToolCommandLine, RefusesMistakesAndBadText) {
    const std::string a = examplePath("a.wkt"), b = examplePath("b.wkt"), p = "POINT(0 0 0)";
    const std::pair<std::vector<std::string>, std::string> mistakes[] = {
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"intersects", p}, "intersects needs two geometries"},
        {{"intersects", p, p, "--tolerance", "abc"}, "--tolerance: not a number: 'abc'"},
        {{"intersects", p, p, "--tolerance", "-1"}, "--tolerance must not be negative"},
        {{"intersects", p, p, "--tolerance"}, "--tolerance needs a value"},
        {{"distance", p, p, p}, "distance needs two geometries"},
        {{"distance", "-", "-"}, "only one geometry can come from standard input"},
        {{"distance", p, p, "--precision", "18"}, "--precision needs a whole number from 1 to 17, not '18'"},
        {{"distance", p, p, "--tolerance", "1"}, "unknown option --tolerance"},
        {{"transform", "--scale", "1,2", p}, "--scale needs 3 numbers separated by commas"},
        {{"transform", "--rotate", "90", "--axis", "1,1,1,1,1,1", p}, "--axis needs two different points"},
        {{"transform", "--axis", "0,0,0,0,0,1", p}, "--axis belongs right after --rotate DEG"},
        {{"transform", "--mirror", "0,0,0/0,0,0", p}, "--mirror needs a non-zero normal"},
        {{"transform", "--precision", "0", p}, "--precision needs a whole number from 1 to 17, not '0'"},
        {{"transform", p, "POINT(1 1 1)"}, "transform takes one geometry"},
        {{"info", p, "--bogus"}, "unexpected argument '--bogus'"},
        {{"join", "only-one.wkt"}, "join needs two files"},
        {{"join", "a", "b", "--threads", "0"}, "--threads needs a whole number from 1 to 1024, not '0'"},
        {{"join", "a", "b", "--format", "CSV"}, "--format must be pairs, csv or json, not 'CSV'"},
        {{"svg"}, "svg needs at least one file"},
        {{"nearest", a}, "nearest needs two files"},
        {{"nearest", a, b, "--max-distance", "-1"}, "--max-distance must not be negative"},
        {{"nearest", a, b, "--tolerance", "1"}, "nearest takes --max-distance, not --tolerance"},
        {{"convert", a}, "convert needs IN and OUT"},
        {{"convert", a, "nowhere/out.txt"}, "convert: cannot tell the format of nowhere/out.txt"},
    };
    std::vector<Expected> cases = {
        {{"info", "-"}, 1, "", {"unexpected character \\x80 at column 11"}, "POINT(1 2 \x80)"},
        {{"info", "POINT(1 2"},
         1,
         "",
         {"spatialgeom: cannot read the geometry 'POINT(1 2': parse error, at or near \"\""}},
        {{"info", "-"}, 1, "", {"parse error"}, ""},
    };
    for (const auto& [arguments, reason] : mistakes) cases.push_back({arguments, 2, "", {"spatialgeom: " + reason}});
    expectRuns(cases);
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
    EXPECT_EQ(runTool({"decode"}, point.out).out, "point(1 2 3)\n");
}

// Truncated (the library's record check, whose own tests cover every
// corrupt word) or a byte too many: refused with status 1.
TEST(ToolCodec, DecodeRefusesBytesThatAreNoRecord) {
    const std::string polygon = runTool({"encode", kSquareWithHole}).out;
    ASSERT_EQ(polygon.size(), 296u);
    expectRuns({
        {{"decode"}, 1, "", {"no record"}},
        {{"decode"}, 1, "", {"not a record"}, polygon.substr(0, 292)},
        {{"decode"}, 1, "", {"not a record"}, polygon + '\0'},
    });
}

}  // namespace
}  // namespace spatialgeom::tool::testing
