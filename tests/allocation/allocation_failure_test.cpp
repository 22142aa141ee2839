// Every export that allocates, run with its 1st, 2nd, 3rd ... allocation
// failing (then with every allocation from the n-th on failing) until it
// runs through: each failing run must give the documented status, leave the
// caller's variables and records as they were and leak nothing (the
// leak checker of the sanitizer build), and the same call must succeed once
// memory is back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "spatialgeom/record_ptr.h"
#include "spatialgeom/spatialgeom.h"
#include "tests/allocation/failing_allocations.h"
#include "tests/record_test_builder.h"

namespace {

// Runs call() with the n-th allocation failing (alone, then with every
// later one), n = 1, 2, ... until a run meets no failure: SPATIAL_FAILURE
// and failed() after each failing run, success and succeeded() after the
// last. Each run starts on a fresh thread, so that a thread's scratch is
// made anew. Returns the number of failing runs.
long underFailingAllocations(const std::function<long()>& call, const std::function<void()>& failed,
                             const std::function<void()>& succeeded) {
    long failingRuns = 0;
    for (bool persistent : {false, true}) {
        for (long n = 1;; ++n) {
            long status = 0;
            bool metFailure = false;
            std::thread([&] {
                failing::failFrom(n, persistent);
                status = call();
                failing::disarm();
                metFailure = failing::failedSinceArmed();
            }).join();
            if (!metFailure) {
                succeeded();
                break;
            }
            ++failingRuns;
            SCOPED_TRACE(::testing::Message()
                         << "allocation " << n << (persistent ? " and later ones" : " alone") << " failing");
            EXPECT_EQ(status, SPATIAL_FAILURE);
            failed();
            if (::testing::Test::HasFailure() || n > 10000) return failingRuns;
        }
    }
    return failingRuns;
}

using spatialgeom::RecordPtr;
using testrecords::bytesOf;

RecordPtr parsed(const char* text) {
    RecordPtr record;
    EXPECT_EQ(spatialParse_string(text, record.out()), 0) << text;
    return record;
}

std::vector<DPoint3d> ring(int n, double radius, double tilt) {
    std::vector<DPoint3d> v;
    for (int i = 0; i < n; ++i) {
        const double a = 6.283185307179586 * i / n;
        v.push_back({radius * std::cos(a), radius * std::sin(a), tilt * radius * std::cos(a)});
    }
    v.push_back(v.front());
    return v;
}

const char* const kTexts[] = {
    "POINT(1 2 3)",
    "LINESTRING(0 0 0,1 1 1,2 2 2)",
    "POLYGON((0 0 0,4 0 0,4 4 1,0 0 0),(1 1 0,2 1 0,2 2 0,1 1 0))",
    "GEOMETRYCOLLECTION(POINT(1 2 3),MULTILINESTRING((0 0 0,1 1 1),(2 2 2,3 3 3)),"
    "MULTIPOLYGON(((0 0 0,4 0 0,4 4 1,0 0 0)),((9 9 9,8 9 9,8 8 9,9 9 9))))",
};

// Every export that makes a new record: the creators, the copy, the parse
// and the WKB reader; with the bytes it must make where they are known.
TEST(AllocationFailure, MakersLeaveTheOutputAlone) {
    const std::vector<DPoint3d> v = ring(40, 2, 0.1);
    const auto n = static_cast<std::uint32_t>(v.size());
    const RecordPtr source = parsed(kTexts[3]);
    struct Maker {
        std::string what;
        std::function<std::uint32_t(void**)> make;
        std::vector<unsigned char> expected;  // empty: not compared
    };
    std::vector<Maker> makers = {
        {"point", [&](void** out) { return spatialWKB_createPoint(&v[0], out); }, {}},
        {"copy", [&](void** out) { return spatialWKB_copy(source.get(), out); }, bytesOf(source.get())},
    };
    using Creator = std::uint32_t (*)(const DPoint3d*, std::uint32_t, void**);
    for (Creator create : {spatialWKB_createLine, spatialWKB_createPolygon, spatialWKB_createMultiPoint,
                           spatialWKB_createMultiLine, spatialWKB_createMultiPolygon})
        makers.push_back({"creator", [&, create](void** out) { return create(v.data(), n, out); }, {}});
    for (const char* text : kTexts) {
        const RecordPtr record = parsed(text);
        makers.push_back({std::string("parse ") + text,
                          [text](void** out) { return std::uint32_t(spatialParse_string(text, out)); },
                          bytesOf(record.get())});
        makers.push_back({std::string("WKB ") + text,
                          [wkb = testrecords::ogcWkbOf(record.get())](void** out) {
                              return spatialWKB_fromOgcWkb(wkb.data(), static_cast<std::uint32_t>(wkb.size()), out);
                          },
                          bytesOf(record.get())});
    }
    for (const Maker& maker : makers) {
        SCOPED_TRACE(maker.what);
        int marker = 0;
        void* out = &marker;
        EXPECT_GT(underFailingAllocations([&] { return long(maker.make(&out)); }, [&] { EXPECT_EQ(out, &marker); },
                                          [&] {
                                              const RecordPtr made(out);
                                              if (!maker.expected.empty()) {
                                                  EXPECT_EQ(bytesOf(made.get()), maker.expected);
                                              }
                                              out = &marker;
                                          }),
                  0);
    }
}

TEST(AllocationFailure, GrowersKeepTheRecord) {
    const std::vector<DPoint3d> v = ring(12, 1, 0.0);
    const auto n = static_cast<std::uint32_t>(v.size());
    using Grower = std::uint32_t (*)(const DPoint3d*, std::uint32_t, void**);
    const struct {
        const char* text;
        Grower grow;
    } rows[] = {
        {"LINESTRING(0 0 0,1 1 1)", spatialWKB_addLineToLine},
        {"MULTILINESTRING((0 0 0,1 1 1))", spatialWKB_addLineToMultiLine},
        {"POLYGON((0 0 0,9 0 0,9 9 0,0 0 0))", spatialWKB_addRingToPolygon},
        {"MULTIPOLYGON(((0 0 0,9 0 0,9 9 0,0 0 0)))", spatialWKB_addPolyToMultiPoly},
        {"MULTIPOLYGON(((0 0 0,9 0 0,9 9 0,0 0 0)))", spatialWKB_addRingToMultiPoly},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        RecordPtr record = parsed(row.text);
        const std::vector<unsigned char> before = bytesOf(record.get());
        void* original = record.get();
        underFailingAllocations([&] { return long(row.grow(v.data(), n, record.out())); },
                                [&] {
                                    EXPECT_EQ(record.get(), original);
                                    EXPECT_EQ(bytesOf(record.get()), before);
                                },
                                [&] {
                                    // Grown; the record as it was, for the next runs.
                                    EXPECT_GT(bytesOf(record.get()).size(), before.size());
                                    record = parsed(row.text);
                                    original = record.get();
                                });
    }
}

// The sizing and the copying parse of wide text.
TEST(AllocationFailure, WideTextParsesLeaveTheOutputAlone) {
    for (const char* text : kTexts) {
        SCOPED_TRACE(text);
        std::u16string wide(text, text + std::strlen(text));
        std::uint32_t size = 7, sizeFound = 7;
        underFailingAllocations([&] { return long(spatialWKB_getSizeFromTextGeom(wide.c_str(), &size)); },
                                [&] { EXPECT_EQ(size, 7u); }, [&] { std::swap(size, sizeFound); });
        size = sizeFound;
        std::vector<unsigned char> buffer(size + 8, 0xAB);
        underFailingAllocations(
            [&] {
                return long(spatialWKB_convertTextToBinary(wide.c_str(), buffer.data(),
                                                           static_cast<std::uint32_t>(buffer.size())));
            },
            [&] { EXPECT_EQ(buffer, std::vector<unsigned char>(size + 8, 0xAB)); },
            [&] { buffer.assign(size + 8, 0xAB); });
    }
}

TEST(AllocationFailure, WritersNeedNoMemory) {
    for (const char* text : kTexts) {
        const RecordPtr record = parsed(text);
        std::vector<SpatialWChar> buffer(4096);
        // Written (a positive length) counts as success.
        const long failing = underFailingAllocations(
            [&] { return spatialWKT_geometry(record.get(), buffer.data(), 4096) > 0 ? 0L : -1L; }, [] {}, [] {});
        EXPECT_EQ(failing, 0) << text;
    }
}

// A query's whole answer: an intersection's result word, or a distance and
// its points.
struct Answer {
    std::uint32_t meets = 7;
    double value = 7;
    DPoint3d onA{7, 7, 7}, onB{7, 7, 7};
    bool operator==(const Answer& o) const {
        return meets == o.meets && value == o.value && testrecords::samePoint(onA, o.onA) &&
               testrecords::samePoint(onB, o.onB);
    }
};

// The query under failing allocations: failing, nothing written; once
// memory is back, the reference's answer. Returns the failing runs.
long keepsTheAnswer(const std::function<long(Answer*)>& query, const std::function<long(Answer*)>& reference) {
    Answer expected, answer;
    EXPECT_EQ(reference(&expected), 0);
    return underFailingAllocations([&] { return query(&answer); }, [&] { EXPECT_TRUE(answer == Answer()); },
                                   [&] {
                                       EXPECT_TRUE(answer == expected);
                                       answer = Answer();
                                   });
}

// Every pair of kinds, flat and tilted: the intersection at tolerance 0
// and beyond, and the distance with both points.
TEST(AllocationFailure, QueriesKeepTheResult) {
    const char* const geometries[] = {
        "POINT(1 1 0.05)",
        "LINESTRING(-3 0.5 0,3 0.5 0.2,3 3 0)",
        "POLYGON((0 0 0,4 0 0,4 4 1,0 4 0,0 0 0),(1 1 0.1,2 1 0.1,2 2 0.2,1 1 0.1))",
        "MULTIPOINT((9 9 9),(2 2 0.3),(1.5 1.2 0))",
        "MULTILINESTRING((9 9 9,8 8 8),(0.5 -1 0,0.5 5 0))",
        "MULTIPOLYGON(((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0)),((6 6 0,8 6 0,8 8 2,6 6 0)))",
    };
    long failingRuns = 0;
    std::vector<RecordPtr> records;
    for (const char* text : geometries) records.push_back(parsed(text));
    for (const RecordPtr& a : records)
        for (const RecordPtr& b : records)
            for (double tolerance : {0.0, 0.3, -1.0}) {  // -1: the distance
                const auto query = [&](Answer* answer) {
                    if (tolerance < 0)
                        return long(spatialWKB_distance(a.get(), b.get(), &answer->value, &answer->onA, &answer->onB));
                    return long(spatialWKB_intersectGeometry(a.get(), b.get(), tolerance, &answer->meets));
                };
                failingRuns += keepsTheAnswer(query, query);
            }
    EXPECT_GT(failingRuns, 200);  // the allocations were reached
}

// Preparing, testing and measuring against the prepared geometry: a large
// polygon (shared, indexed) and a small one (gathered per call).
TEST(AllocationFailure, PreparedGeometries) {
    const std::vector<DPoint3d> big = ring(400, 5, 0.2), small = ring(12, 5, 0.2);
    const RecordPtr probe = parsed("LINESTRING(-9 0.5 0,9 0.5 1)"), above = parsed("LINESTRING(-9 0.5 4,9 0.7 5)");
    for (const std::vector<DPoint3d>* outer : {&big, &small}) {
        RecordPtr polygon;
        ASSERT_EQ(spatialWKB_createPolygon(outer->data(), static_cast<std::uint32_t>(outer->size()), polygon.out()),
                  0u);
        void* prepared = nullptr;
        EXPECT_GT(underFailingAllocations([&] { return long(spatialWKB_prepareGeometry(polygon.get(), &prepared)); },
                                          [&] { EXPECT_EQ(prepared, nullptr); },
                                          [&] { spatialWKB_destroyPrepared(&prepared); }),
                  0);
        ASSERT_EQ(spatialWKB_prepareGeometry(polygon.get(), &prepared), 0u);
        // Against the stateless exports: the line through it, and the
        // distance to a line above it.
        const auto crossing = [&](auto intersect, const void* a) {
            return [=, &probe](Answer* answer) { return long(intersect(a, probe.get(), 0, &answer->meets)); };
        };
        const auto distance = [&](auto measure, const void* a) {
            return [=, &above](Answer* out) { return long(measure(a, above.get(), &out->value, &out->onA, nullptr)); };
        };
        keepsTheAnswer(crossing(spatialWKB_intersectPrepared, prepared),
                       crossing(spatialWKB_intersectGeometry, polygon.get()));
        EXPECT_GT(keepsTheAnswer(distance(spatialWKB_distancePrepared, prepared),
                                 distance(spatialWKB_distance, polygon.get())),
                  0);
        spatialWKB_destroyPrepared(&prepared);
    }
}

}  // namespace

// The join and the nearest search over two short lists (a large polygon
// with many candidates, which the join prepares; a polygon off its plane; a
// collection; small records) on one and two threads: failing, nothing
// reported; once memory is back, everything.
TEST(AllocationFailure, ListExportsReportAllOrNothing) {
    const std::vector<DPoint3d> big = ring(300, 5, 0.2);
    RecordPtr polygon;
    ASSERT_EQ(spatialWKB_createPolygon(big.data(), static_cast<std::uint32_t>(big.size()), polygon.out()), 0u);
    std::vector<RecordPtr> records;
    for (const char* text : {"POINT(1 1 0.05)", "GEOMETRYCOLLECTION(POINT(5 0 0),LINESTRING(0 -6 0,0 6 0))",
                             "POLYGON((0 0 0,4 0 4,4 4 0,0 4 0,0 0 0))",
                             "MULTIPOLYGON(((0 0 0,4 0 0,4 4 0,0 4 0,0 0 0)),((6 6 0,8 6 0,8 8 2,6 6 0)))",
                             "LINESTRING(-3 0.5 0,3 0.5 0.2,3 3 0)", "MULTIPOINT((9 9 9),(2 2 0.3))",
                             "POLYGON((0 0 0,4 0 0,4 4 1,0 4 0,0 0 0))", "POINT(4.9 0 0)"})
        records.push_back(parsed(text));
    std::vector<const void*> a{polygon.get()}, b{records[0].get(), records[1].get()};
    for (std::size_t k = 1; k < 4; ++k) a.push_back(records[k].get());
    for (std::size_t k = 4; k < records.size(); ++k) b.push_back(records[k].get());
    // Everything reported, as numbers: (i, j) pairs or (j, i, distance).
    using Found = std::vector<double>;
    const auto na = static_cast<std::uint32_t>(a.size()), nb = static_cast<std::uint32_t>(b.size());
    const auto join = [&](std::uint32_t threads, Found* found) {
        const auto report = [](void* found, std::uint32_t i, std::uint32_t j) {
            static_cast<Found*>(found)->insert(static_cast<Found*>(found)->end(), {double(i), double(j)});
        };
        return long(spatialWKB_joinRecords(a.data(), na, b.data(), nb, 0.1, threads, report, found));
    };
    const auto nearest = [&](std::uint32_t threads, Found* found) {
        const auto report = [](void* found, std::uint32_t j, std::uint32_t i, double d) {
            static_cast<Found*>(found)->insert(static_cast<Found*>(found)->end(), {double(j), double(i), d});
        };
        return long(spatialWKB_nearestRecords(a.data(), na, b.data(), nb, INFINITY, threads, report, found));
    };
    for (const std::function<long(std::uint32_t, Found*)>& search : {std::function(join), std::function(nearest)}) {
        Found expected;
        ASSERT_EQ(search(1, &expected), 0);
        ASSERT_GT(expected.size(), 8u);
        for (std::uint32_t threads : {1u, 2u}) {
            Found found;
            found.reserve(expected.size());  // the callback allocates nothing
            EXPECT_GT(underFailingAllocations(
                          [&] {
                              found.clear();
                              return search(threads, &found);
                          },
                          [&] { EXPECT_TRUE(found.empty()); }, [&] { EXPECT_EQ(found, expected); }),
                      10);
        }
    }
}
