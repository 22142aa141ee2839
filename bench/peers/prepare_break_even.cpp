// Where preparing a record pays in the join (join/geometry_probe.h): a
// probe of n vertices in the middle of a list of the join comparison's
// mixed geometries (joinList), against its candidates, the geometries
// whose boxes meet its box widened by the tolerance, as the join finds
// them. For each probe it measures, in thread CPU time:
//   stateless  a candidate tested pair by pair (unionMeets), per candidate
//   prepared   a candidate tested against the probe prepared with every
//              polygon indexed (PreparedGeometry, any size shared), per
//              candidate
//   prepare    preparing the probe and freeing it
// and prints the number of candidates from which preparing and testing
// costs less than testing pair by pair: prepare / (stateless - prepared),
// rounded up ("never" when a prepared test costs no less).
//
//   prepare_break_even [FILTER]   the probes whose label contains FILTER
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "comparison_data.h"
#include "join/collection_union.h"
#include "kernel/range3d.h"
#include "queries/prepared_geometry.h"
#include "spatialgeom/parse.h"
#include "spatialgeom/records.h"
#include "timing.h"

namespace {

using namespace spatialgeom;

// The probe's radius: as the join data's 500-vertex polygons.
constexpr double kRadius = 8.0;

struct Record {
    explicit Record(const std::string& text) { spatialParse_string(text.c_str(), &record); }
    ~Record() { spatialWKB_destroyGeom(&record); }
    Record(Record&& other) noexcept : record(other.record) { other.record = nullptr; }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    const Byte* bytes() const { return static_cast<const Byte*>(record); }
    void* record = nullptr;
};

void appendRing(const std::vector<DPoint3d>& ring, std::string* text) {
    char buffer[64];
    *text += '(';
    for (std::size_t i = 0; i < ring.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%.6f %.6f 0", i > 0 ? ", " : "", ring[i].x, ring[i].y);
        *text += buffer;
    }
    *text += ')';
}

// n vertices on a wavy circle (as the join data's polygons), closed when
// asked (the first vertex repeated as the n-th).
std::vector<DPoint3d> wavyCircle(const DPoint3d& centre, double radius, int n, bool closed, bool clockwise) {
    std::vector<DPoint3d> ring;
    const int distinct = closed ? n - 1 : n;
    for (int i = 0; i < distinct; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / distinct * (clockwise ? -1.0 : 1.0);
        const double r = radius * (1.0 + 0.1 * std::sin(9 * angle));
        ring.push_back({centre.x + r * std::cos(angle), centre.y + r * std::sin(angle), 0.0});
    }
    if (closed) ring.push_back(ring.front());
    return ring;
}

enum class ProbeKind { kPolygon, kPolygonWithHole, kLine };

const char* kindName(ProbeKind kind) {
    switch (kind) {
        case ProbeKind::kPolygon: return "polygon";
        case ProbeKind::kPolygonWithHole: return "polygon with hole";
        case ProbeKind::kLine: return "linestring";
    }
    return "";
}

std::string probeText(ProbeKind kind, const DPoint3d& centre, int n) {
    std::string text;
    if (kind == ProbeKind::kLine) {
        text = "LINESTRING ";
        appendRing(wavyCircle(centre, kRadius, n, false, false), &text);
        return text;
    }
    text = "POLYGON (";
    if (kind == ProbeKind::kPolygon) {
        appendRing(wavyCircle(centre, kRadius, n, true, false), &text);
    } else {
        appendRing(wavyCircle(centre, kRadius, n - n / 4, true, false), &text);
        text += ", ";
        appendRing(wavyCircle(centre, 0.4 * kRadius, n / 4, true, true), &text);
    }
    return text + ')';
}

volatile std::size_t sink = 0;

double perSecond(double rate) { return rate > 0.0 ? 1.0 / rate : 0.0; }

void measure(ProbeKind kind, int n, double tolerance, const std::vector<Record>& list, const DPoint3d& centre) {
    const Record probe(probeText(kind, centre, n));
    DRange3d probeBox;
    unionRange(probe.bytes(), &probeBox);
    std::vector<const Byte*> candidates;
    for (const Record& record : list) {
        DRange3d box;
        if (unionRange(record.bytes(), &box) && kernel::boxesOverlap(kernel::widenedBox(probeBox, tolerance), box))
            candidates.push_back(record.bytes());
    }
    const comparison::ThreadCpuClock clock;
    const double stateless = perSecond(comparison::medianRate(
        [&] {
            std::size_t hits = 0;
            for (const Byte* candidate : candidates) hits += unionMeets(probe.bytes(), candidate, tolerance);
            sink = hits;
            return candidates.size();
        },
        0.05, clock));
    const std::unique_ptr<PreparedGeometry> prepared = PreparedGeometry::prepare(probe.bytes(), 1);
    std::size_t preparedHits = 0, statelessHits = 0;
    const double testPrepared = perSecond(comparison::medianRate(
        [&] {
            std::size_t hits = 0;
            for (const Byte* candidate : candidates) {
                bool meets = false;
                prepared->intersects(candidate, tolerance, &meets);
                hits += meets;
            }
            preparedHits = hits;
            return candidates.size();
        },
        0.05, clock));
    for (const Byte* candidate : candidates) statelessHits += unionMeets(probe.bytes(), candidate, tolerance);
    const double prepare = perSecond(comparison::medianRate(
        [&] {
            sink = PreparedGeometry::prepare(probe.bytes(), 1)->memoryBytes();
            return std::size_t{1};
        },
        0.05, clock));
    char breakEven[32] = "never";
    if (testPrepared < stateless)
        std::snprintf(breakEven, sizeof breakEven, "%.0f", std::ceil(prepare / (stateless - testPrepared)));
    std::printf("%-18s %6d %9g %10zu %12.2f %12.2f %12.2f %10s%s\n", kindName(kind), n, tolerance, candidates.size(),
                stateless * 1e6, testPrepared * 1e6, prepare * 1e6, breakEven,
                preparedHits == statelessHits ? "" : "  ANSWERS DIFFER");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string filter = argc > 1 ? argv[1] : "";
    // A list of the join data whose square holds the probe with room to
    // spare: its side, 2 sqrt(count), about 4 radii.
    const std::size_t count = static_cast<std::size_t>(std::pow(2.0 * kRadius, 2));
    const comparison::JoinList data = comparison::joinList(count, 3);
    std::vector<Record> list;
    for (const std::string& text : data.texts) list.emplace_back(text);
    const double side = 2.0 * std::sqrt(static_cast<double>(count));
    const DPoint3d centre{400000.0 + side / 2, 300000.0 + side / 2, 0.0};
    std::printf("%-18s %6s %9s %10s %12s %12s %12s %10s\n", "probe", "n", "tolerance", "candidates", "stateless us",
                "prepared us", "prepare us", "break-even");
    for (ProbeKind kind : {ProbeKind::kPolygon, ProbeKind::kPolygonWithHole, ProbeKind::kLine}) {
        if (std::string(kindName(kind)).find(filter) == std::string::npos) continue;
        for (int n : {8, 16, 32, 64, 128, 256, 512, 1024, 4096})
            for (double tolerance : {0.0, 0.1}) measure(kind, n, tolerance, list, centre);
    }
    return 0;
}
