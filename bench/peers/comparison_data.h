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
    std::vector<Ring> points;      // kPoint: one vertex each; kMultiPoint: one list
    std::vector<Ring> lines;       // kLine
    std::vector<Polygon> polygons; // kPolygon
    std::vector<bool> expected;    // one per tested geometry
};

// Point vs a wavy 1,000-vertex polygon (half inside); crossing and
// near-miss linestrings of 1,000 vertices; overlapping and
// disjoint-but-close 1,000-vertex polygons; 10,000 points, none inside.
std::vector<Workload> workloads();

}  // namespace comparison
