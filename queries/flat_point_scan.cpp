#include "queries/flat_point_scan.h"

#include "kernel/exact_predicates.h"
#include "kernel/plane_frame.h"
#include "kernel/range3d.h"
#include "queries/element_tests.h"
#include "queries/filter_bounds.h"
#include "records/navigation.h"

namespace spatialgeom {
namespace {

using kernel::coordinate;

enum class Outcome { meets, apart, notFlat, unsafe };

// K is the constant coordinate; U and V the plane's axes, as the prepared
// polygon's flat test takes them.
template <int K>
Outcome scan(const DPoint3d& p, const Byte* rings, double t) {
    constexpr int U = (K + 1) % 3, V = (K + 2) % 3;
    const double plane = coordinate(p, K);
    const double pu = coordinate(p, U), pv = coordinate(p, V);
    // An edge's box grown by t (unrounded) reaches p exactly when it
    // reaches p's coordinates stepped outwards.
    const double puUp = kernel::nextUp(pu), puDown = kernel::nextDown(pu);
    const double pvUp = kernel::nextUp(pv), pvDown = kernel::nextDown(pv);
    const kernel::Segment3d point{p, p};
    if (!(plane - plane == 0.0 && pu - pu == 0.0 && pv - pv == 0.0)) return Outcome::notFlat;
    bool flat = true, finite = true, met = false, outerOdd = false, inHole = false, unsafe = false, any = false;
    // One edge: near p, or crossing the ray along +U (parity in `odd`).
    const auto edge = [&](const DPoint3d& a, const DPoint3d& b, bool& odd) __attribute__((always_inline)) {
        flat &= coordinate(b, K) == plane;  // (every vertex ends one edge)
        const double av = coordinate(a, V), bv = coordinate(b, V);
        const double vLow = bv < av ? bv : av, vHigh = bv > av ? bv : av;
        if (vLow - t > pvUp || pvDown > vHigh + t) return false;
        const double au = coordinate(a, U), bu = coordinate(b, U);
        const double uLow = bu < au ? bu : au, uHigh = bu > au ? bu : au;
        if (uLow - t <= puUp && puDown <= uHigh + t && segmentsWithin({a, b}, point, t)) return true;
        if ((av > pv) != (bv > pv)) {
            unsafe |= !filter::predicateSafe(a) || !filter::predicateSafe(b);
            odd ^= kernel::edgeCrossesAxisRay(a, b, p, U, V, true) != 0;
        }
        return false;
    };
    std::uint32_t ring = 0;
    forEachSublineSeq(rings, [&](const Byte* seq) {
        const DPoint3d* first = nullptr;
        const DPoint3d* last = nullptr;
        bool odd = false;
        forEachSubline(seq, [&](const Byte* subline) {
            const DPoint3d* v = sublineVertices(subline);
            const std::uint32_t count = sublineVertexCount(subline);
            finite = finite && filter::allFinite(v, count);
            if (count == 0) return true;
            if (!met && last != nullptr) met = edge(*last, v[0], odd);
            if (first == nullptr) first = v;
            for (std::uint32_t i = 1; i < count && !met; ++i) met = edge(v[i - 1], v[i], odd);
            last = v + count - 1;
            return true;
        });
        // (A ring of one vertex closes with an edge of zero length.)
        if (!met && last != nullptr) met = edge(*last, *first, odd);
        any |= last != nullptr;
        if (ring++ == 0) outerOdd = odd;
        else inHole |= odd;
        return true;
    });
    // A coordinate that is not finite: the general test's answer, whatever
    // this one found.
    if (!finite) return Outcome::notFlat;
    if (met) return Outcome::meets;  // on a ring's polyline, flat or not
    if (!flat || !any) return Outcome::notFlat;
    if (unsafe) return Outcome::unsafe;
    return outerOdd && !inHole ? Outcome::meets : Outcome::apart;
}

}  // namespace

std::optional<bool> pointMeetsFlatPolygon(const DPoint3d& point, const Byte* rings, double tolerance) {
    if (ringCount(rings) == 0) return std::nullopt;
    // The polygon's constant coordinate must be the point's: try each axis
    // on which the point shares the first vertex's coordinate, z first.
    const Byte* firstSeq = firstSublineSeq(rings);
    if (sublineCount(firstSeq) == 0 || sublineVertexCount(firstSubline(firstSeq)) == 0) return std::nullopt;
    const DPoint3d& first = sublineVertices(firstSubline(firstSeq))[0];
    Outcome outcome = Outcome::notFlat;
    if (point.z == first.z) outcome = scan<2>(point, rings, tolerance);
    if (outcome == Outcome::notFlat && point.x == first.x) outcome = scan<0>(point, rings, tolerance);
    if (outcome == Outcome::notFlat && point.y == first.y) outcome = scan<1>(point, rings, tolerance);
    switch (outcome) {
        case Outcome::meets: return true;
        case Outcome::apart: return false;
        default: return std::nullopt;
    }
}

}  // namespace spatialgeom
