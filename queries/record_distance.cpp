// The estimate gathers each record into segments (points, sublines' edges,
// polygons' stored and lifted boundary edges) and regions, and takes the
// nearest pair of points among segment pairs and segment-region pairs. The
// exact value is then bracketed by exact tests: from the estimate outwards
// in steps of 1, 2, 4, ... ulps until one tolerance meets and one does
// not, then halving the bracket on the doubles' bit patterns (which order
// non-negative doubles as their values).
#include "queries/record_distance.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "kernel/box_gap.h"
#include "kernel/closest_points.h"
#include "kernel/range3d.h"
#include "kernel/rational.h"
#include "queries/call_scratch.h"
#include "queries/filter_bounds.h"
#include "queries/flat_point_distance.h"
#include "queries/flat_point_scan.h"
#include "queries/linear_set.h"
#include "queries/polygon_nearest.h"
#include "queries/prepared_geometry.h"
#include "queries/record_intersection.h"
#include "queries/record_range.h"
#include "queries/segment_grid.h"
#include "records/navigation.h"
#include "records/record_transform.h"
#include "records/vertex_runs.h"

namespace spatialgeom {
namespace {

using kernel::ClosestPair;
using kernel::Segment3d;

// The segments and regions of one record.
//
// A lifted piece whose computed ends may lie farther than a few ulps from
// the exact ones is kept as computed, with its radius, and made precise
// (exact ends, rounded) only when a search is about to rely on it: few
// pieces come near enough to the other geometry to need it.
struct Gathered {
    struct CoarsePiece {
        std::uint32_t segment;  // its index in segments
        std::uint32_t polygon;  // its index in polygons
        PolygonRings::Edge edge;
        std::uint32_t cut;
    };

    ScratchVector<Segment3d> segments;
    // How far each segment's points may lie from the boundary's exact ones:
    // 0 but for a coarse piece not yet made precise.
    ScratchVector<double> radii;
    // Of the segments, a coarse piece's widened to hold its precise ends.
    ScratchVector<DRange3d> boxes;
    ScratchVector<std::unique_ptr<PolygonNearest>> polygons;
    ScratchVector<CoarsePiece> coarse;  // in the order of their segments
    bool roundedSegments = false;       // some segments are rounded pieces of lifted edges

    // Thrown when a piece's ends lie beyond the largest double: a ring
    // lifted onto a plane so steep that its points there have no double.
    struct BeyondDoubles {};

    // Makes segment i precise when it is a coarse piece. Cost: rational
    // arithmetic the first time, a logarithmic search of coarse. Throws
    // BeyondDoubles for a piece that cannot be rounded.
    void makePrecise(std::uint32_t i) {
        if (radii[i] == 0.0) return;
        const auto c = std::lower_bound(coarse.begin(), coarse.end(), i,
                                        [](const CoarsePiece& p, std::uint32_t s) { return p.segment < s; });
        const Segment3d precise = polygons[c->polygon]->preciseSegment(c->edge, c->cut);
        if (!kernel::finite(precise)) throw BeyondDoubles{};
        segments[i] = precise;
        radii[i] = 0.0;
    }
};

bool isPolygonKind(std::uint32_t kind) { return kind == SPATIAL_TYPE_POLYGON || kind == SPATIAL_TYPE_MULTIPOLYGON; }

// One geometry measured: a record, or a prepared record's parts (the copy
// of a point or line kind's record; the copied ring sequences and the
// shared polygons of a polygon kind).
struct Operand {
    std::uint32_t kind = 0;
    const Byte* record = nullptr;  // null for a prepared polygon kind
    const PreparedGeometry* prepared = nullptr;
    DRange3d box{};
};

// For each polygon of a polygon kind in order: onRings(its ring sequence),
// or onShared(it) for a polygon shared by a prepared record; stops
// when a visitor returns false.
template <typename OnRings, typename OnShared>
void forEachPolygonOf(const Operand& g, OnRings&& onRings, OnShared&& onShared) {
    if (g.prepared != nullptr) {
        for (std::size_t i = 0; i < g.prepared->polygonCount(); ++i) {
            const PreparedPolygon* shared = g.prepared->sharedPolygon(i);
            if (!(shared != nullptr ? onShared(*shared) : onRings(g.prepared->polygonRings(i)))) return;
        }
    } else if (g.kind == SPATIAL_TYPE_POLYGON) {
        onRings(polygonBody(g.record));
    } else {
        forEachPolygon(g.record, onRings);
    }
}

// The geometry's vertices, all finite?
bool finiteOperand(const Operand& g) {
    if (isPolygonKind(g.kind)) {
        bool finite = true;
        const auto ringsFinite = [&](const Byte* rings) {
            forEachSublineSeq(rings, [&](const Byte* seq) {
                forEachSubline(seq, [&](const Byte* subline) {
                    finite = finite && filter::allFinite(sublineVertices(subline), sublineVertexCount(subline));
                    return finite;
                });
                return finite;
            });
            return finite;
        };
        const auto sharedFinite = [&](const PreparedPolygon& shared) {
            const PolygonRings& rings = shared.rings();
            finite = filter::allFinite(rings.vertices.data(), rings.vertices.size());
            return finite;
        };
        forEachPolygonOf(g, ringsFinite, sharedFinite);
        return finite;
    }
    LinearSet lines(0.0);
    switch (g.kind) {
        case SPATIAL_TYPE_POINT: return filter::allFinite(pointVertex(g.record), 1);
        case SPATIAL_TYPE_MULTIPOINT: return filter::allFinite(multiPointVertices(g.record), bodyCount(g.record));
        case SPATIAL_TYPE_LINESTRING: lines.addSublineSeq(lineBody(g.record)); break;
        default: lines.addRingSeq(multiLineBody(g.record)); break;
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!filter::allFinite(&lines.segment(i).start, 1) || !filter::allFinite(&lines.segment(i).end, 1))
            return false;
    return true;
}

void gather(const Operand& operand, Gathered& g) {
    if (isPolygonKind(operand.kind)) {
        const auto added = [&] {
            g.roundedSegments = g.roundedSegments || g.polygons.back()->hasRoundedSegments();
            const auto polygon = static_cast<std::uint32_t>(g.polygons.size() - 1);
            g.polygons.back()->forEachBoundarySegment([&](const Segment3d& s, const LiftedBoundary::Piece* coarse) {
                if (!kernel::finite(s)) throw Gathered::BeyondDoubles{};
                if (coarse != nullptr) {
                    g.coarse.push_back(
                        {static_cast<std::uint32_t>(g.segments.size()), polygon, coarse->edge, coarse->cut});
                    g.radii.resize(g.segments.size(), 0.0);
                    g.radii.push_back(coarse->radius);
                }
                g.segments.push_back(s);
            });
            return true;
        };
        const auto addRings = [&](const Byte* rings) {
            if (ringSeqVertexCount(rings) == 0) return true;
            g.polygons.push_back(std::make_unique<PolygonNearest>(rings));
            return added();
        };
        const auto addShared = [&](const PreparedPolygon& shared) {
            if (shared.rings().vertices.empty()) return true;
            g.polygons.push_back(std::make_unique<PolygonNearest>(shared));
            return added();
        };
        forEachPolygonOf(operand, addRings, addShared);
    } else {
        const Byte* record = operand.record;
        LinearSet lines(0.0);
        switch (operand.kind) {
            case SPATIAL_TYPE_POINT: lines.addPoints(pointVertex(record), 1); break;
            case SPATIAL_TYPE_MULTIPOINT: lines.addPoints(multiPointVertices(record), bodyCount(record)); break;
            case SPATIAL_TYPE_LINESTRING: lines.addSublineSeq(lineBody(record)); break;
            default: lines.addRingSeq(multiLineBody(record)); break;
        }
        g.segments.reserve(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) g.segments.push_back(lines.segment(i));
    }
    g.radii.resize(g.segments.size(), 0.0);
    g.boxes.reserve(g.segments.size());
    for (const Segment3d& s : g.segments) g.boxes.push_back(kernel::boxOfPoints(s.start, s.end));
    // A precise end lies within the radius of the computed one, and within
    // an ulp of that: twice the radius (above 2^-48 of the coordinates)
    // holds both.
    for (const Gathered::CoarsePiece& c : g.coarse)
        g.boxes[c.segment] = kernel::widenedBox(g.boxes[c.segment], 2 * g.radii[c.segment]);
}

// The exact test at tolerance t, through the prepared parts when a or b
// is a prepared record (the other then is not).
bool within(const Operand& a, const Operand& b, double t) {
    if (a.prepared != nullptr) return a.prepared->within(b.record, b.kind, t);
    if (b.prepared != nullptr) return b.prepared->within(a.record, a.kind, t);
    return geometriesWithin(a.kind, b.kind, a.record, b.record, t);
}

// The first stored vertex that is a point of the geometry: a point, the
// first of a multipoint, the first vertex of a polygon's rings, the first
// vertex of a line's first subline of two vertices or more (a shorter
// subline holds no point of the line). Null when there is none.
const DPoint3d* firstVertexOnGeometry(const Operand& g) {
    const DPoint3d* first = nullptr;
    const auto take = [&](const DPoint3d* vertices, std::uint32_t count, std::uint32_t least) {
        if (count >= least) first = vertices;
        return first == nullptr;
    };
    if (!isPolygonKind(g.kind)) {
        forEachVertexRunAs(g.record, g.kind, 0, [&](const VertexRun& run) {
            return take(run.vertices, run.count, run.elementType == SPATIAL_TYPE_POINT ? 1 : 2);
        });
        return first;
    }
    const auto inRings = [&](const Byte* rings) {
        return forEachSublineSeq(rings, [&](const Byte* ring) {
            return forEachSubline(ring, [&](const Byte* subline) {
                return take(sublineVertices(subline), sublineVertexCount(subline), 1);
            });
        });
    };
    const auto inShared = [&](const PreparedPolygon& shared) {
        const PolygonRings& rings = shared.rings();
        return take(rings.vertices.data(), static_cast<std::uint32_t>(rings.vertices.size()), 1);
    };
    forEachPolygonOf(g, inRings, inShared);
    return first;
}

// Does a polygon record meet the point p in the plane of constant
// coordinate it lies in (flat_point_scan.h)? Any answer also means that
// every coordinate of the polygon is finite; nullopt when the scan does
// not apply.
std::optional<bool> flatPolygonMeets(const Operand& g, const DPoint3d& p) {
    if (g.kind != SPATIAL_TYPE_POLYGON || g.prepared != nullptr) return std::nullopt;
    return pointMeetsFlatPolygon(p, polygonBody(g.record), 0.0);
}

// Does the geometry meet the point p exactly (tolerance 0)?
bool vertexMeets(const Operand& g, const DPoint3d& p) {
    alignas(DPoint3d) Byte point[kPointRecordSize];
    writeHeader(point, SPATIAL_TYPE_POINT, kPointRecordSize);
    std::memcpy(point + kBodyOffset, &p, sizeof p);
    const ScratchScope scratch;
    return within(g, Operand{SPATIAL_TYPE_POINT, point, nullptr, kernel::boxOfPoints(p, p)}, 0.0);
}

ClosestPair swapped(const ClosestPair& p) { return {p.onB, p.onA, p.distance}; }

// visit(i, j) for every pair of a's and b's segments whose boxes come
// within reach() (read again before each pair, so that it may shrink), a's
// segments nearest to b's box first; visit returns false to stop.
template <typename Reach, typename Visit>
void forEachSegmentPairWithin(const Gathered& a, const Gathered& b, Reach&& reach, Visit&& visit) {
    constexpr std::size_t kGridFrom = 32;
    if (b.boxes.empty()) return;
    DRange3d boxB = b.boxes.front();
    for (const DRange3d& box : b.boxes) boxB = kernel::unitedBox(boxB, box);
    // Built for the second of a's segments a reach stops short of: the
    // first is measured against every segment of b (its reach is still
    // infinite), so a single segment, a point's, needs no grid.
    SegmentGrid grid;
    bool gridded = false;
    const auto griddedOnce = [&] {
        if (!gridded && b.segments.size() >= kGridFrom) {
            int u = 0, v = 1;
            SegmentGrid::largestExtentAxes(boxB, &u, &v);
            grid.build(b.boxes, u, v);
            gridded = true;
        }
        return gridded;
    };
    // Once one of a's segments lies farther from b's box than the reach,
    // so do all the rest. A heap hands them out in the order of (gap,
    // index), as a sort would, but costs only for those taken: usually a
    // few, as the reach soon shrinks.
    ScratchVector<std::pair<double, std::uint32_t>> order;
    order.reserve(a.segments.size());
    for (std::uint32_t i = 0; i < a.segments.size(); ++i) order.push_back({kernel::boxGap(a.boxes[i], boxB), i});
    const std::greater<> nearestFirst;
    std::make_heap(order.begin(), order.end(), nearestFirst);
    bool going = true;
    for (auto end = order.end(); going && end != order.begin(); --end) {
        std::pop_heap(order.begin(), end, nearestFirst);
        const auto& entry = *(end - 1);
        if (entry.first > reach()) break;
        const std::uint32_t i = entry.second;
        const auto pair = [&](std::uint32_t j) {
            if (!(kernel::boxGap(a.boxes[i], b.boxes[j]) > reach())) going = visit(i, j);
            return going;
        };
        if (reach() < INFINITY && griddedOnce()) {
            grid.forEachOverlapping(kernel::widenedBox(a.boxes[i], reach()), pair);
        } else {
            for (std::uint32_t j = 0; j < b.segments.size() && pair(j); ++j) {
            }
        }
    }
}

// Segments of each record against the other's regions: nearer candidates
// replace best.
void nearestInRegions(Gathered& a, Gathered& b, ClosestPair& best) {
    const auto againstRegions = [&](Gathered& lines, Gathered& regions, bool linesFirst) {
        for (auto& polygon : regions.polygons) {
            if (!polygon->hasRegion()) continue;
            for (std::size_t i = 0; i < lines.segments.size() && best.distance > 0.0; ++i) {
                if (!(kernel::boxGap(lines.boxes[i], polygon->box()) < best.distance)) continue;
                lines.makePrecise(static_cast<std::uint32_t>(i));
                ClosestPair c = linesFirst ? best : swapped(best);
                polygon->nearestInRegion(lines.segments[i], c);
                if (c.distance < best.distance) best = linesFirst ? c : swapped(c);
            }
        }
    };
    againstRegions(a, b, true);
    againstRegions(b, a, false);
}

mpq_class exactSquaredDistance(const Segment3d& a, const Segment3d& b) {
    return kernel::squaredSegmentDistance(kernel::toRational(a.start), kernel::toRational(a.end),
                                          kernel::toRational(b.start), kernel::toRational(b.end));
}

// The floating-point estimate: the nearest pair of points found. When a
// pair of segments gave it, their points are the exact closest ones
// rounded, *winnerSquared their exact squared distance, and *segmentsWon is
// set.
ClosestPair estimate(Gathered& a, Gathered& b, mpq_class* winnerSquared, bool* segmentsWon) {
    ClosestPair best{{}, {}, INFINITY};
    // The segment pair that gave best, if one did: its points are taken
    // exactly at the end (floating-point candidates of nearly parallel
    // segments may lie far from the closest points).
    std::uint32_t winnerA = 0, winnerB = 0;
    bool segmentPairWon = false;
    const auto consider = [&](std::uint32_t i, std::uint32_t j, const ClosestPair& c) {
        if (!(c.distance < best.distance)) return;
        best = c;
        winnerA = i;
        winnerB = j;
        segmentPairWon = true;
    };
    if (!a.segments.empty() && !b.segments.empty()) {
        // A pair with a coarse piece is measured as computed: its precise
        // distance lies within the radii of that. Those that may come
        // nearer than every pair's upper bound are measured precisely at
        // the end, the likeliest first.
        struct Candidate {
            double lower;
            std::uint32_t i, j;
        };
        ScratchVector<Candidate> coarsePairs;
        double upper = INFINITY;
        forEachSegmentPairWithin(
            a, b, [&] { return upper; },
            [&](std::uint32_t i, std::uint32_t j) {
                const ClosestPair c = kernel::closestPoints(a.segments[i], b.segments[j]);
                const double radii = a.radii[i] + b.radii[j];
                if (radii == 0.0) {
                    consider(i, j, c);
                    upper = std::min(upper, best.distance);
                } else if (c.distance - radii < upper) {
                    coarsePairs.push_back({c.distance - radii, i, j});
                    upper = std::min(upper, c.distance + radii);
                }
                return upper > 0.0;
            });
        std::sort(coarsePairs.begin(), coarsePairs.end(),
                  [](const Candidate& p, const Candidate& q) { return p.lower < q.lower; });
        for (const Candidate& p : coarsePairs) {
            if (!(p.lower < best.distance)) break;
            a.makePrecise(p.i);
            b.makePrecise(p.j);
            consider(p.i, p.j, kernel::closestPoints(a.segments[p.i], b.segments[p.j]));
        }
    }
    const double segmentsBest = best.distance;
    nearestInRegions(a, b, best);
    if (segmentPairWon && !(best.distance < segmentsBest)) {
        const Segment3d &sa = a.segments[winnerA], &sb = b.segments[winnerB];
        best = kernel::exactClosestPoints(sa, sb);
        *winnerSquared = exactSquaredDistance(sa, sb);
        *segmentsWon = true;
    }
    return best;
}

// The nearest pair of points when the estimate missed it (nearly parallel
// segments, whose floating-point candidates may lie far from their closest
// points): every pair of segments whose boxes come within the exact
// distance d is measured exactly, and the nearest of them or of the region
// candidates wins. Cost: a rational distance per such pair.
ClosestPair nearestAt(Gathered& a, Gathered& b, double d) {
    std::optional<mpq_class> nearest;
    std::uint32_t winnerA = 0, winnerB = 0;
    forEachSegmentPairWithin(
        a, b, [&] { return d; },
        [&](std::uint32_t i, std::uint32_t j) {
            a.makePrecise(i);
            b.makePrecise(j);
            const mpq_class q = exactSquaredDistance(a.segments[i], b.segments[j]);
            if (!nearest || q < *nearest) {
                nearest = q;
                winnerA = i;
                winnerB = j;
            }
            return sgn(*nearest) > 0;
        });
    ClosestPair best{{}, {}, INFINITY};
    if (nearest) {
        best = kernel::exactClosestPoints(a.segments[winnerA], b.segments[winnerB]);
        const double root = kernel::upwardSqrt(*nearest);
        if (root >= 0.0) best.distance = root;
    }
    nearestInRegions(a, b, best);
    return best;
}

double fromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }
std::uint64_t toBits(double v) { return std::bit_cast<std::uint64_t>(v); }

// The least double t >= 0 at which the records come within t, searched
// from the estimate e (finite, >= 0); +infinity when even the largest
// double is too small. eMeets: e is known to be at least the distance (a
// pair of elements is exactly that close), so its test is skipped.
double exactDistance(const Operand& a, const Operand& b, double e, bool eMeets) {
    const auto within = [&](std::uint64_t bits) {
        const ScratchScope scratch;
        return spatialgeom::within(a, b, fromBits(bits));
    };
    const std::uint64_t largest = toBits(std::numeric_limits<double>::max());
    std::uint64_t start = std::min(toBits(e), largest);
    // Bracket: `low` does not meet (or is below 0), `high` meets.
    std::uint64_t high = 0, low = 0;
    if ((eMeets && start == toBits(e)) || within(start)) {
        // A start that is the answer (the usual case when it comes from
        // the exact distance of the nearest pair of segments), then
        // geometries that meet: a test each saves the walk down.
        if (start == 0 || !within(start - 1)) return fromBits(start);
        if (within(0)) return 0.0;
        high = start - 1;
        for (std::uint64_t step = 1;; step *= 2) {
            if (high == 0) return 0.0;
            const std::uint64_t candidate = high > step ? high - step : 0;
            if (!within(candidate)) {
                low = candidate;
                break;
            }
            high = candidate;
        }
    } else {
        low = start;
        for (std::uint64_t step = 1;; step *= 2) {
            if (low == largest) return INFINITY;
            const std::uint64_t candidate = largest - low > step ? low + step : largest;
            if (within(candidate)) {
                high = candidate;
                break;
            }
            low = candidate;
        }
    }
    while (high - low > 1) {
        const std::uint64_t middle = low + (high - low) / 2;
        if (within(middle)) {
            high = middle;
        } else {
            low = middle;
        }
    }
    return fromBits(high);
}

// Does the record's box have extent along every axis? Otherwise all its
// vertices share one coordinate, and so does each polygon: its plane and
// lifted boundary are exact in floating point. (A multipolygon whose
// polygons are flat in different planes counts as tilted.)
bool tiltedBox(const DRange3d& box) {
    return box.low.x != box.high.x && box.low.y != box.high.y && box.low.z != box.high.z;
}

// The operand, or when it is a tilted polygon kind given as a record and
// the other is not prepared, the operand prepared into `held` (as it is
// when the preparing fails: the tests then gather it themselves). A flat
// polygon's tests cost little more than a pass over its edges, less than
// preparing it.
Operand preparedOnce(const Operand& g, const Operand& other, std::unique_ptr<const PreparedGeometry>& held) {
    if (g.prepared != nullptr || other.prepared != nullptr || !isPolygonKind(g.kind) || !tiltedBox(g.box)) return g;
    held = PreparedGeometry::prepare(g.record);
    if (held == nullptr) return g;
    return {g.kind, nullptr, held.get(), g.box};
}

// The vertex runs of a polygon kind, polygon by polygon (a prepared
// polygon's rings one run each).
void collectRuns(const Operand& g, ScratchVector<VertexRun>& runs) {
    std::uint32_t polygon = 0;
    const auto onRings = [&](const Byte* rings) {
        std::uint32_t ring = 0;
        forEachSublineSeq(rings, [&](const Byte* seq) {
            forEachSubline(seq, [&](const Byte* subline) {
                runs.push_back(
                    {polygon, SPATIAL_TYPE_POLYGON, ring, 0, sublineVertices(subline), sublineVertexCount(subline)});
                return true;
            });
            ++ring;
            return true;
        });
        ++polygon;
        return true;
    };
    const auto onShared = [&](const PreparedPolygon& shared) {
        const PolygonRings& rings = shared.rings();
        for (std::uint32_t r = 0; r < rings.ringCount(); ++r)
            runs.push_back({polygon, SPATIAL_TYPE_POLYGON, r, 0, rings.ring(r), rings.ringSize(r)});
        ++polygon;
        return true;
    };
    forEachPolygonOf(g, onRings, onShared);
}

// A point and a polygon kind in one plane of constant coordinate, either
// first: answered in a pass or two over the rings, or through the grid of a
// single shared polygon (flat_point_distance.h), before the records are
// measured: true. False, nothing written, when
// memory runs out; nullopt when the pair is not such or that path does not
// apply.
std::optional<bool> flatPointAnswer(const Operand& a, const Operand& b, double* distance, DPoint3d* onA,
                                    DPoint3d* onB) {
    const bool pointFirst = a.kind == SPATIAL_TYPE_POINT && isPolygonKind(b.kind);
    if (!pointFirst && !(b.kind == SPATIAL_TYPE_POINT && isPolygonKind(a.kind))) return std::nullopt;
    const Operand &point = pointFirst ? a : b, &polygons = pointFirst ? b : a;
    try {
        const ScratchScope scratch;
        const DPoint3d& p = *pointVertex(point.record);
        // A single shared polygon answers through its grid.
        const PreparedGeometry* prepared = polygons.prepared;
        std::optional<PointToPolygons> answer;
        if (prepared != nullptr && prepared->polygonCount() == 1 && prepared->sharedPolygon(0) != nullptr)
            answer = pointToSharedFlatPolygon(p, *prepared->sharedPolygon(0));
        if (!answer) {
            ScratchVector<VertexRun> runs;
            collectRuns(polygons, runs);
            answer = pointToFlatPolygons(p, runs);
        }
        if (!answer) return std::nullopt;
        // (At distance 0 both points are the given one, bit for bit.)
        const DPoint3d& onPolygons = answer->distance == 0.0 ? p : answer->onPolygon;
        *distance = answer->distance;
        if (onA != nullptr) *onA = pointFirst ? p : onPolygons;
        if (onB != nullptr) *onB = pointFirst ? onPolygons : p;
        return true;
    } catch (...) {  // memory ran out
        return false;
    }
}

}  // namespace

namespace {

bool isSimpleKind(std::uint32_t kind) { return kind >= SPATIAL_TYPE_POINT && kind <= SPATIAL_TYPE_MULTIPOLYGON; }

bool measure(Operand givenA, Operand givenB, double* distance, DPoint3d* onA, DPoint3d* onB);

// The record an operand can be copied from: its own, a prepared point or
// line kind's copy, or a tiny prepared polygon kind's (else nullptr).
const Byte* recordOf(const Operand& g) { return g.record != nullptr ? g.record : g.prepared->tinyRecord(); }

// Geometries whose coordinates all lie below kTinyMagnitude (magnitude:
// the largest), measured as copies scaled by a power of two that brings
// them near 1: exact, and no floating-point square of theirs underflows
// any more. The distance comes back rounded upwards again, the points to
// nearest. nullopt when an operand has no record to copy.
std::optional<bool> measureScaled(const Operand& a, const Operand& b, double magnitude, double* distance, DPoint3d* onA,
                                  DPoint3d* onB) {
    const Byte* records[2] = {recordOf(a), recordOf(b)};
    if (records[0] == nullptr || records[1] == nullptr) return std::nullopt;
    const int k = std::min(-std::ilogb(magnitude), 1000);  // (2^k must be a double)
    transform scale{};
    for (int i = 0; i < 3; ++i) scale.form3d[i][i] = std::ldexp(1.0, k);
    std::vector<std::uint64_t> copies[2];
    for (int i = 0; i < 2; ++i) {
        std::uint64_t size = 0;
        if (!layoutSize(records[i], &size)) return false;
        copies[i].resize((size + 7) / 8);
        std::memcpy(copies[i].data(), records[i], size);
        transformRecord(scale, reinterpret_cast<Byte*>(copies[i].data()), (i == 0 ? a : b).kind);
    }
    double d = 0.0;
    DPoint3d pointA{}, pointB{};
    if (!measure({a.kind, reinterpret_cast<const Byte*>(copies[0].data()), nullptr, {}},
                 {b.kind, reinterpret_cast<const Byte*>(copies[1].data()), nullptr, {}}, &d, &pointA, &pointB))
        return false;
    double back = std::ldexp(d, -k);
    if (std::ldexp(back, k) < d) back = kernel::nextUp(back);
    const auto unscaled = [&](const DPoint3d& p) {
        return DPoint3d{std::ldexp(p.x, -k), std::ldexp(p.y, -k), std::ldexp(p.z, -k)};
    };
    *distance = back;
    if (onA != nullptr) *onA = unscaled(pointA);
    if (onB != nullptr) *onB = back == 0.0 ? unscaled(pointA) : unscaled(pointB);
    return true;
}

// Measures the box of an operand given as a record (a prepared one has
// its box); false when it has no vertex.
bool measureBox(Operand& g) { return g.prepared != nullptr || rangeAsKind(g.record, g.kind, &g.box); }

// The body of both entries: a and b checked and measured. The boxes are
// measured only when the first vertices do not meet (geometries that meet
// have vertices).
bool measure(Operand givenA, Operand givenB, double* distance, DPoint3d* onA, DPoint3d* onB) {
    try {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const auto answer = [&](double d, const DPoint3d& pointA, const DPoint3d& pointB) {
            *distance = d;
            if (onA != nullptr) *onA = pointA;
            if (onB != nullptr) *onB = pointB;
            return true;
        };
        // Geometries that meet mostly hold a stored vertex of one inside
        // the other: a first vertex that meets is a common point after one
        // exact test, without gathering either geometry. A's against a
        // flat polygon B is decided first: that scan also finds B's
        // coordinates finite, so only A's are checked when it meets.
        const DPoint3d* firstA = firstVertexOnGeometry(givenA);
        const std::optional<bool> firstAInB = firstA != nullptr ? flatPolygonMeets(givenB, *firstA) : std::nullopt;
        if (firstAInB == true && finiteOperand(givenA)) return answer(0.0, *firstA, *firstA);
        const bool finite = [&] {
            const ScratchScope scratch;
            return finiteOperand(givenA) && finiteOperand(givenB);
        }();
        if (!finite) return measureBox(givenA) && measureBox(givenB) && answer(nan, {nan, nan, nan}, {nan, nan, nan});
        if (firstA != nullptr && !firstAInB.has_value() && vertexMeets(givenB, *firstA))
            return answer(0.0, *firstA, *firstA);
        if (const DPoint3d* firstB = firstVertexOnGeometry(givenB); firstB != nullptr && vertexMeets(givenA, *firstB))
            return answer(0.0, *firstB, *firstB);
        if (!measureBox(givenA) || !measureBox(givenB)) return false;
        const DRange3d &boxA = givenA.box, &boxB = givenB.box;
        const double magnitude = std::max(kernel::largestCoordinate(boxA), kernel::largestCoordinate(boxB));
        if (magnitude > 0.0 && magnitude < PreparedGeometry::kTinyMagnitude)
            if (const std::optional<bool> scaled = measureScaled(givenA, givenB, magnitude, distance, onA, onB))
                return *scaled;
        // From here each geometry is gathered and tested several times: a
        // tilted polygon kind given as a record is prepared once for all of
        // it, so that its index, its plane and, for a skew plane, its exact
        // normal are found once.
        std::unique_ptr<const PreparedGeometry> heldA, heldB;
        const Operand a = preparedOnce(givenA, givenB, heldA);
        const Operand b = preparedOnce(givenB, a, heldB);
        // Each gathering has a scratch scope of its own, closed before the
        // exact tests, which open theirs.
        const auto gathered = [&](auto&& use) {
            const ScratchScope scratch;
            Gathered gatheredA, gatheredB;
            gather(a, gatheredA);
            gather(b, gatheredB);
            return use(gatheredA, gatheredB);
        };
        mpq_class winnerSquared;
        bool segmentsWon = false, empty = false, rounded = false;
        ClosestPair best = gathered([&](Gathered& gatheredA, Gathered& gatheredB) {
            // A line whose sublines all have fewer than two vertices has
            // no point at all.
            empty = gatheredA.segments.empty() || gatheredB.segments.empty();
            rounded = gatheredA.roundedSegments || gatheredB.roundedSegments;
            return empty ? ClosestPair{} : estimate(gatheredA, gatheredB, &winnerSquared, &segmentsWon);
        });
        if (empty) return answer(INFINITY, {nan, nan, nan}, {nan, nan, nan});
        double e = std::isfinite(best.distance) ? best.distance : std::numeric_limits<double>::max();
        const double root = segmentsWon ? kernel::upwardSqrt(winnerSquared) : nan;
        if (root >= 0.0) e = root;
        // Two stored segments that close are a pair of the geometries at
        // that distance, so their upward root meets without a test.
        const double exact = exactDistance(a, b, e, root >= 0.0 && !rounded);
        // A floating-point winner a few ulps of the coordinates from the
        // exact distance is kept; an exact one only when it is the distance.
        const double slack = 4 * std::numeric_limits<double>::epsilon() * magnitude;
        const bool missed = exact < INFINITY && (root >= 0.0 ? root > exact : !(best.distance - exact <= slack));
        if (missed)
            best = gathered(
                [&](Gathered& gatheredA, Gathered& gatheredB) { return nearestAt(gatheredA, gatheredB, exact); });
        if (exact == 0.0) best.onB = best.onA;
        return answer(exact, best.onA, best.onB);
    } catch (...) {  // memory ran out, or a piece beyond the doubles (Gathered::BeyondDoubles)
        return false;
    }
}

}  // namespace

bool recordDistance(const Byte* a, const Byte* b, double* distance, DPoint3d* onA, DPoint3d* onB) {
    Operand first{recordType(a), a, nullptr, {}}, second{recordType(b), b, nullptr, {}};
    if (!isSimpleKind(first.kind) || !isSimpleKind(second.kind)) return false;
    if (const std::optional<bool> answered = flatPointAnswer(first, second, distance, onA, onB)) return *answered;
    return measure(first, second, distance, onA, onB);
}

bool preparedDistance(const PreparedGeometry& prepared, const Byte* other, double* distance, DPoint3d* onPrepared,
                      DPoint3d* onOther) {
    const std::uint32_t kind = prepared.kind();
    const Operand first{kind, isPolygonKind(kind) ? nullptr : prepared.record(), &prepared, prepared.box()};
    Operand second{recordType(other), other, nullptr, {}};
    if (!isSimpleKind(second.kind)) return false;
    if (const std::optional<bool> answered = flatPointAnswer(first, second, distance, onPrepared, onOther))
        return *answered;
    return measure(first, second, distance, onPrepared, onOther);
}

}  // namespace spatialgeom
