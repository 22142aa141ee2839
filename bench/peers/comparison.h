// The sections of the peer comparison; each measures ours and the peers
// in the same run and adds its rows (and any disagreement) to the report.
#pragma once

#include <geos_c.h>

#include <string>

#include "comparison_data.h"
#include "report.h"

namespace comparison {

// The geometries of each list of the join comparison.
inline constexpr std::size_t kJoinCount = 100000;

// WKT parse and write, ours against GEOS.
void compareText(GEOSContextHandle_t geos, Report* report);
// The grid: every text workload over every coordinate shape, and every
// spelling (parse) or precision (write), ours against GEOS; only the
// workloads and shapes whose "workload | shape" label contains filter.
void compareGrid(GEOSContextHandle_t geos, Report* report, const std::string& filter = "");
// Our side of every grid cell whose label contains filter, at a tenth of
// the data, each between a reset and a dump of callgrind's counters.
int countGridInstructions(const std::string& filter);
// The intersection workloads: ours, GEOSIntersects, GEOS prepared, Boost.Geometry.
void compareIntersections(GEOSContextHandle_t geos, Report* report);
// The distance on the intersection workloads' point, line and polygon
// pairs: ours against GEOSDistance, and both prepared.
void compareDistances(GEOSContextHandle_t geos, Report* report);
// The join (tolerance 0 and 0.1; ours on one and two threads) and the
// nearest search of two lists of count mixed planar geometries (joinList),
// text reading included: ours against GEOS's STRtree with prepared
// geometries, and with its nearest-neighbour query.
void compareJoins(GEOSContextHandle_t geos, Report* report, std::size_t count = kJoinCount);
// Parse throughput of ours on one and two threads.
void compareParseThreads(Report* report);
// Peak memory of parsing the large multipolygon, each library in its own
// process (this program run again with --peak-memory ours|geos).
void compareParseMemory(const std::string& program, Report* report);
// The child of compareParseMemory: prints "text extra record" in bytes.
int measureParseMemory(const std::string& library);

// The number of vertices of one of our records.
std::size_t recordVertexCount(const void* record);

}  // namespace comparison
