// The generated data of the peer comparison: the same coordinates for every
// library, from a fixed seed, so every run measures the same work.
//
// Text data sets are WKT with three coordinates per vertex and uppercase
// keywords, which every library reads. Planar data sets (z = 0) are rings
// and point lists that each library builds its own geometries from.
#pragma once

#include <string>
#include <vector>

#include "spatialgeom/types.h"

namespace comparison {

using Ring = std::vector<DPoint3d>;

// One text data set: the texts and the number of vertices they hold.
struct TextSet {
    std::string name;
    std::vector<std::string> texts;
    std::size_t vertexCount = 0;
    std::size_t bytes() const;
};

// 200,000 points; 20,000 linestrings of 50 vertices; one multipolygon of
// 2,000 polygons of 100 vertices, every fifth with a hole of 20 vertices.
// Coordinates carry varied digits (123456.789012, 1234.567).
std::vector<TextSet> textSets();
TextSet largeMultiPolygon();

// A polygon: outer ring, then holes (closed rings, first vertex repeated).
struct Polygon {
    std::vector<Ring> rings;
};

// One intersection workload: a polygon, the geometries tested against it,
// and the answer every library must give for each of them.
struct Workload {
    enum class Kind { kPoint, kLine, kPolygon, kMultiPoint };
    std::string name;
    Kind kind;
    Polygon target;
    std::vector<Ring> points;       // kPoint: one vertex each; kMultiPoint: one list
    std::vector<Ring> lines;        // kLine
    std::vector<Polygon> polygons;  // kPolygon
    std::vector<bool> expected;     // one per tested geometry
};

// Point vs a wavy 1,000-vertex polygon (half inside); crossing and
// near-miss linestrings of 1,000 vertices; overlapping and
// disjoint-but-close 1,000-vertex polygons; 10,000 points, none inside.
std::vector<Workload> workloads();

// ---- The join and the nearest search: mixed planar geometries (z = 0),
// one WKT text each, scattered uniformly over a square of 4 * count square
// units (lower-left corner at 400000, 300000; 6 decimals): a third
// polygons of 6 to 40 vertices, radius 0.3 to 1 (a third of them with a
// hole), a third linestrings of 5 to 60 vertices (random walks of steps up
// to 0.4), a third points; one in a thousand is a polygon of 500 vertices
// and radius 8 instead. Two lists of other seeds cover the same square,
// so each geometry meets a few of the other list's.
struct JoinList {
    std::vector<std::string> texts;
    std::size_t vertexCount = 0;
};
JoinList joinList(std::size_t count, std::uint32_t seed);

// ---- The grid: every text workload over several coordinate shapes and,
// for the parse, several spellings of the same numbers (the write runs at
// several precisions). Every (kind, shape) has a seed of its own, so each
// cell's numbers are the same from run to run and between spellings.

enum class GridKind { kPoints, kLines, kMultiPolygon };
inline constexpr GridKind kGridKinds[] = {GridKind::kPoints, GridKind::kLines, GridKind::kMultiPolygon};

// How the coordinates look (x, y in plan, z in height):
//   surveyed   6 decimals on up to 6 integer digits; z with 3 decimals
//   full       uniform doubles, unrounded: 15 to 17 significant digits
//   integers   whole numbers up to 999999 (z up to 2999)
//   decimals   1, 2 or 3 decimals (drawn per number) on up to 6 digits
//   mixed      7 significant digits times 10^e, e drawn in [-5, 12] per
//              number: exponent notation in most spellings
//   negative   the surveyed numbers, negated
enum class Shape { kSurveyed, kFull, kIntegers, kDecimals, kMixed, kNegative };
inline constexpr Shape kShapes[] = {Shape::kSurveyed, Shape::kFull,  Shape::kIntegers,
                                    Shape::kDecimals, Shape::kMixed, Shape::kNegative};

// The texts the parse reads, from the same numbers:
//   upper      POINT (x y z), LINESTRING (x y z, x y z), MULTIPOLYGON
//              (((x y z, ...)), ((...))): upper case, a space before the
//              first parenthesis and after each comma; shortest round-trip
//              numbers (1e-05, 523411.3841207)
//   lower      point(x y z), linestring(x y z,x y z): lower case, no
//              space but between the numbers of a vertex; shortest numbers
//   17 digits  as lower, numbers as "%.17g" (523411.38412070001)
//   exponent   as lower, numbers in exponent notation with their shortest
//              digits (5.234113841207e+05)
enum class Spelling { kUpper, kLower, kSeventeenDigits, kExponent };
inline constexpr Spelling kSpellings[] = {Spelling::kUpper, Spelling::kLower, Spelling::kSeventeenDigits,
                                          Spelling::kExponent};

const char* kindName(GridKind kind);
const char* shapeName(Shape shape);
const char* spellingName(Spelling spelling);

// One geometry of the grid: polygons of rings of vertices. A point is one
// ring of one vertex, a linestring one ring; a multipolygon's rings are
// closed (the last vertex repeats the first).
struct GridGeometry {
    std::vector<std::vector<Ring>> polygons;
};

struct GridData {
    GridKind kind;
    Shape shape;
    std::vector<GridGeometry> geometries;
    std::size_t vertexCount = 0;
};

// The geometries of a kind with coordinates of a shape: 20,000 points;
// 2,000 linestrings of 50 vertices; one multipolygon of 200 polygons of 100
// vertices, every fifth with a hole of 20. divisor (1 for the timed grid)
// divides the counts (the number of polygons for the multipolygon).
GridData gridData(GridKind kind, Shape shape, std::size_t divisor = 1);
// The data's geometries as texts of a spelling, one per geometry.
std::vector<std::string> gridTexts(const GridData& data, Spelling spelling);

}  // namespace comparison
