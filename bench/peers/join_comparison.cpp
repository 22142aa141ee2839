// The join and the nearest search on two lists of mixed planar geometries
// (joinList), the reading of both lists' WKT texts included.
//
// Join: ours (the texts parsed, spatialWKB_joinRecords) on one thread
// against GEOS on one thread: an STRtree over the second list, and for
// each geometry of the first the tree queried with its envelope (widened
// by the tolerance), the geometry prepared (GEOSPrepare) and each
// candidate tested with GEOSPreparedIntersects, or at a positive
// tolerance GEOSPreparedDistanceWithin (GEOS's own test of "within that
// distance": exact in what it asks, no buffer's approximation of round
// ends, and no full distance when a nearer point settles it). Then ours on
// two threads (the parse split in two, the join on two threads) against
// ours on one. Every run's pairs must be the same.
//
// Nearest: ours (spatialWKB_nearestRecords, no distance limit) against an
// STRtree over the first list queried for each geometry of the second with
// GEOSSTRtree_nearest_generic measuring GEOSDistance; both on one thread.
// Ties may go to different records: the distances of the two answers must
// agree within a few ulps of the coordinates' magnitude.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

#include "comparison.h"
#include "spatialgeom/join.h"
#include "spatialgeom/parse.h"
#include "spatialgeom/records.h"
#include "timing.h"

namespace comparison {
namespace {

using Pair = std::pair<std::uint32_t, std::uint32_t>;

// Our records of a list of texts, parsed on `threads` threads.
class OurRecords {
public:
    OurRecords(const std::vector<std::string>& texts, unsigned threads) : records_(texts.size(), nullptr) {
        splitAcrossThreads(texts.size(), threads, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) spatialParse_string(texts[i].c_str(), &records_[i]);
        });
    }
    ~OurRecords() {
        for (void*& record : records_) spatialWKB_destroyGeom(&record);
    }
    OurRecords(const OurRecords&) = delete;
    OurRecords& operator=(const OurRecords&) = delete;

    const void* const* data() const { return records_.data(); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(records_.size()); }

private:
    std::vector<void*> records_;
};

// GEOS's geometries of a list of texts.
class GeosGeometries {
public:
    GeosGeometries(GEOSContextHandle_t geos, const std::vector<std::string>& texts) : geos_(geos) {
        GEOSWKTReader* reader = GEOSWKTReader_create_r(geos);
        geometries_.reserve(texts.size());
        for (const std::string& text : texts) geometries_.push_back(GEOSWKTReader_read_r(geos, reader, text.c_str()));
        GEOSWKTReader_destroy_r(geos, reader);
    }
    ~GeosGeometries() {
        for (GEOSGeometry* g : geometries_) GEOSGeom_destroy_r(geos_, g);
    }
    GeosGeometries(const GeosGeometries&) = delete;
    GeosGeometries& operator=(const GeosGeometries&) = delete;

    GEOSGeometry* const* data() const { return geometries_.data(); }
    const GEOSGeometry* operator[](std::size_t i) const { return geometries_[i]; }
    std::size_t size() const { return geometries_.size(); }

private:
    GEOSContextHandle_t geos_;
    std::vector<GEOSGeometry*> geometries_;
};

// An STRtree whose items are the addresses of the geometries' slots, so
// that an item gives both its geometry and its position.
class GeosTree {
public:
    GeosTree(GEOSContextHandle_t geos, const GeosGeometries& list)
        : geos_(geos), list_(list), tree_(GEOSSTRtree_create_r(geos, 10)) {
        for (std::size_t i = 0; i < list.size(); ++i)
            GEOSSTRtree_insert_r(geos, tree_, list[i], const_cast<GEOSGeometry**>(list.data() + i));
    }
    ~GeosTree() { GEOSSTRtree_destroy_r(geos_, tree_); }
    GeosTree(const GeosTree&) = delete;
    GeosTree& operator=(const GeosTree&) = delete;

    GEOSSTRtree* get() const { return tree_; }
    std::uint32_t position(const void* item) const {
        return static_cast<std::uint32_t>(static_cast<GEOSGeometry* const*>(item) - list_.data());
    }
    static const GEOSGeometry* geometry(const void* item) { return *static_cast<GEOSGeometry* const*>(item); }

private:
    GEOSContextHandle_t geos_;
    const GeosGeometries& list_;
    GEOSSTRtree* tree_;
};

std::vector<Pair> ourJoin(const JoinList& a, const JoinList& b, double tolerance, unsigned threads) {
    const OurRecords ours(a.texts, threads), theirs(b.texts, threads);
    std::vector<Pair> pairs;
    spatialWKB_joinRecords(
        ours.data(), ours.size(), theirs.data(), theirs.size(), tolerance, threads,
        [](void* context, std::uint32_t i, std::uint32_t j) {
            static_cast<std::vector<Pair>*>(context)->emplace_back(i, j);
        },
        &pairs);
    return pairs;
}

// The envelope of g widened by tolerance, as a rectangle to query a tree
// with (GEOS's tree queries with a geometry's envelope).
GEOSGeometry* widenedEnvelope(GEOSContextHandle_t geos, const GEOSGeometry* g, double tolerance) {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    GEOSGeom_getXMin_r(geos, g, &xMin);
    GEOSGeom_getYMin_r(geos, g, &yMin);
    GEOSGeom_getXMax_r(geos, g, &xMax);
    GEOSGeom_getYMax_r(geos, g, &yMax);
    return GEOSGeom_createRectangle_r(geos, xMin - tolerance, yMin - tolerance, xMax + tolerance, yMax + tolerance);
}

std::vector<Pair> geosJoin(GEOSContextHandle_t geos, const JoinList& a, const JoinList& b, double tolerance) {
    const GeosGeometries probes(geos, a.texts), indexed(geos, b.texts);
    const GeosTree tree(geos, indexed);
    std::vector<Pair> pairs;
    struct Query {
        const GeosTree* tree;
        std::vector<std::uint32_t> candidates;
    } query{&tree, {}};
    for (std::size_t i = 0; i < probes.size(); ++i) {
        query.candidates.clear();
        GEOSGeometry* envelope = tolerance > 0.0 ? widenedEnvelope(geos, probes[i], tolerance) : nullptr;
        GEOSSTRtree_query_r(
            geos, tree.get(), envelope != nullptr ? envelope : probes[i],
            [](void* item, void* context) {
                auto* q = static_cast<Query*>(context);
                q->candidates.push_back(q->tree->position(item));
            },
            &query);
        if (envelope != nullptr) GEOSGeom_destroy_r(geos, envelope);
        if (query.candidates.empty()) continue;
        std::sort(query.candidates.begin(), query.candidates.end());
        const GEOSPreparedGeometry* prepared = GEOSPrepare_r(geos, probes[i]);
        for (std::uint32_t j : query.candidates) {
            const char meets = tolerance > 0.0 ? GEOSPreparedDistanceWithin_r(geos, prepared, indexed[j], tolerance)
                                               : GEOSPreparedIntersects_r(geos, prepared, indexed[j]);
            if (meets == 1) pairs.emplace_back(static_cast<std::uint32_t>(i), j);
        }
        GEOSPreparedGeom_destroy_r(geos, prepared);
    }
    return pairs;
}

// "N x N" with thousands separated.
std::string sizeLabel(std::size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits + " x " + digits;
}

void checkSamePairs(const std::string& what, const std::vector<Pair>& ours, const std::vector<Pair>& theirs,
                    const std::string& label, Report* report) {
    if (ours == theirs) return;
    std::vector<Pair> onlyOurs, onlyTheirs;
    std::set_difference(ours.begin(), ours.end(), theirs.begin(), theirs.end(), std::back_inserter(onlyOurs));
    std::set_difference(theirs.begin(), theirs.end(), ours.begin(), ours.end(), std::back_inserter(onlyTheirs));
    std::string first;
    if (!onlyOurs.empty())
        first =
            ", first only ours (" + std::to_string(onlyOurs[0].first) + ", " + std::to_string(onlyOurs[0].second) + ")";
    else if (!onlyTheirs.empty())
        first = ", first only " + what + " (" + std::to_string(onlyTheirs[0].first) + ", " +
                std::to_string(onlyTheirs[0].second) + ")";
    report->warn("join '" + label + "': " + std::to_string(onlyOurs.size()) + " pairs only ours, " +
                 std::to_string(onlyTheirs.size()) + " only " + what + " (of " + std::to_string(ours.size()) + ")" +
                 first);
}

void compareJoin(GEOSContextHandle_t geos, const JoinList& a, const JoinList& b, double tolerance, Report* report) {
    const double lines = static_cast<double>(a.texts.size() + b.texts.size());
    char label[160];
    std::snprintf(label, sizeof label, "%s mixed, planar, tolerance %g", sizeLabel(a.texts.size()).c_str(), tolerance);
    std::vector<Pair> oursOne, oursTwo, theirs;
    const double geosRate = medianRate([&] {
        theirs = geosJoin(geos, a, b, tolerance);
        return a.texts.size() + b.texts.size();
    });
    const double oneRate = medianRate([&] {
        oursOne = ourJoin(a, b, tolerance, 1);
        return a.texts.size() + b.texts.size();
    });
    const double cpuBefore = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const double twoRate = medianRate([&] {
        oursTwo = ourJoin(a, b, tolerance, 2);
        return a.texts.size() + b.texts.size();
    });
    const double cores = (processCpuSeconds() - cpuBefore) /
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    checkSamePairs("GEOS", oursOne, theirs, label, report);
    checkSamePairs("ours on 2 threads", oursOne, oursTwo, label, report);
    const std::string pairs = "(" + std::to_string(oursOne.size()) + " pairs; " +
                              std::to_string(static_cast<long>(lines)) + " lines of text read)";
    report->add({"Join", label, "lines/s", oneRate, "GEOS STRtree + prepared", geosRate, 3.0, false, pairs});
    char note[96];
    std::snprintf(note, sizeof note, "(CPU obtained with 2 threads: %.2f cores)", cores);
    report->add({"Join threads", std::string(label) + ": 2 threads / 1", "lines/s", twoRate, "ours, 1 thread", oneRate,
                 1.7, false, note});
}

// For each geometry j of the second list, the position of its nearest
// geometry of the first (or none) and that distance.
struct Nearest {
    std::vector<std::uint32_t> position;
    std::vector<double> distance;
    explicit Nearest(std::size_t count)
        : position(count, kNone), distance(count, std::numeric_limits<double>::quiet_NaN()) {}
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
};

Nearest ourNearest(const JoinList& a, const JoinList& b) {
    const OurRecords indexed(a.texts, 1), searches(b.texts, 1);
    Nearest nearest(b.texts.size());
    spatialWKB_nearestRecords(
        indexed.data(), indexed.size(), searches.data(), searches.size(), INFINITY, 1,
        [](void* context, std::uint32_t j, std::uint32_t i, double distance) {
            auto* n = static_cast<Nearest*>(context);
            n->position[j] = i;
            n->distance[j] = distance;
        },
        &nearest);
    return nearest;
}

int geosDistanceOfItems(const void* item1, const void* item2, double* distance, void* geos) {
    return GEOSDistance_r(static_cast<GEOSContextHandle_t>(geos), GeosTree::geometry(item1), GeosTree::geometry(item2),
                          distance);
}

Nearest geosNearest(GEOSContextHandle_t geos, const JoinList& a, const JoinList& b) {
    const GeosGeometries indexed(geos, a.texts), searches(geos, b.texts);
    const GeosTree tree(geos, indexed);
    Nearest nearest(b.texts.size());
    for (std::size_t j = 0; j < searches.size(); ++j) {
        const void* item = GEOSSTRtree_nearest_generic_r(geos, tree.get(), searches.data() + j, searches[j],
                                                         geosDistanceOfItems, geos);
        if (item == nullptr) continue;
        nearest.position[j] = tree.position(item);
        GEOSDistance_r(geos, GeosTree::geometry(item), searches[j], &nearest.distance[j]);
    }
    return nearest;
}

void compareNearest(GEOSContextHandle_t geos, const JoinList& a, const JoinList& b, Report* report) {
    const std::string label = sizeLabel(a.texts.size()) + " mixed, planar";
    Nearest ours(0), theirs(0);
    const double geosRate = medianRate([&] {
        theirs = geosNearest(geos, a, b);
        return a.texts.size() + b.texts.size();
    });
    const double ourRate = medianRate([&] {
        ours = ourNearest(a, b);
        return a.texts.size() + b.texts.size();
    });
    // The coordinates reach 400000 + the square's side.
    const double magnitude = 400000.0 + 2.0 * std::sqrt(static_cast<double>(a.texts.size()));
    const double slack = 16 * std::numeric_limits<double>::epsilon() * magnitude;
    std::size_t apart = 0, sameRecord = 0;
    for (std::size_t j = 0; j < b.texts.size(); ++j) {
        apart += !(std::fabs(ours.distance[j] - theirs.distance[j]) <= slack);
        sameRecord += ours.position[j] == theirs.position[j];
    }
    if (apart != 0)
        report->warn("nearest '" + label + "': GEOS's distance differs from ours beyond " + std::to_string(slack) +
                     " on " + std::to_string(apart) + " of " + std::to_string(b.texts.size()) + " geometries");
    const std::string note = "(same record for " + std::to_string(sameRecord) + " of " +
                             std::to_string(b.texts.size()) + " geometries, " + std::to_string(apart) +
                             " distances apart)";
    report->add({"Nearest", label, "lines/s", ourRate, "GEOS STRtree nearest", geosRate, 0.0, false, note});
}

}  // namespace

void compareJoins(GEOSContextHandle_t geos, Report* report, std::size_t count) {
    const JoinList a = joinList(count, 1), b = joinList(count, 2);
    for (double tolerance : {0.0, 0.1}) compareJoin(geos, a, b, tolerance, report);
    compareNearest(geos, a, b, report);
}

}  // namespace comparison
