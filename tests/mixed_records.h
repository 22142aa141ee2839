// Random lists of records of every kind for the tests of the list exports
// (join.h): points, lines, polygons with holes (some with their outer ring
// off any plane, some of many vertices), the multi-kinds, collections,
// records without vertices and null entries, scattered over a small square
// so that many boxes overlap.
#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

#include "record_test_builder.h"
#include "spatialgeom/records.h"

namespace testrecords {

class MixedRecords {
public:
    explicit MixedRecords(std::uint32_t seed, double extent = 20.0) : random_(seed), extent_(extent) {}

    // count entries: records, or null for about one in twenty.
    std::vector<const void*> list(std::size_t count) {
        std::vector<const void*> entries;
        for (std::size_t k = 0; k < count; ++k)
            entries.push_back(pick(20) == 0 ? nullptr : kept_.emplace_back(any()).data());
        return entries;
    }

private:
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    std::uint32_t pick(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random_); }
    DPoint3d somewhere() { return {uniform(0, extent_), uniform(0, extent_), uniform(-1, 1)}; }
    DPoint3d near(const DPoint3d& p, double reach) {
        return {p.x + uniform(-reach, reach), p.y + uniform(-reach, reach), p.z + uniform(-reach / 4, reach / 4)};
    }

    Sublines lineThrough() {
        Vertices v{somewhere()};
        for (std::uint32_t k = 0, n = 1 + pick(4); k < n; ++k) v.push_back(near(v.back(), 2.0));
        return {v};
    }
    // A square (side 1 to 3), tilted or with its outer ring off a plane at
    // times, with a hole at times; or a circle of 300 vertices.
    SublineSeqs rings() {
        const DPoint3d c = somewhere();
        if (pick(12) == 0) {
            Vertices circle;
            for (int k = 0; k <= 300; ++k) {
                const double a = 6.283185307179586 * (k % 300) / 300;
                circle.push_back({c.x + 3 * std::cos(a), c.y + 3 * std::sin(a), c.z + 0.3 * std::sin(a)});
            }
            return {{circle}};
        }
        const double s = uniform(0.5, 1.5), tilt = pick(3) == 0 ? uniform(-0.5, 0.5) : 0.0;
        const bool skew = pick(5) == 0;
        const auto at = [&](double dx, double dy) {
            return DPoint3d{c.x + dx, c.y + dy, c.z + tilt * dx + (skew && dx > 0 && dy > 0 ? 0.8 : 0.0)};
        };
        SublineSeqs result{{{at(-s, -s), at(s, -s), at(s, s), at(-s, s), at(-s, -s)}}};
        if (pick(2) == 0) {
            const double h = s / 2;
            result.push_back({{at(-h, -h), at(h, -h), at(h, h), at(-h, h), at(-h, -h)}});
        }
        return result;
    }
    Record simple() {
        switch (pick(6)) {
            case 0: return point(somewhere());
            case 1: return line(lineThrough());
            case 2: return polygon(rings());
            case 3: {
                Vertices points{somewhere()};
                for (std::uint32_t k = 0, n = pick(3); k < n; ++k) points.push_back(near(points[0], 1.5));
                return multiPoint(points);
            }
            case 4: return multiLine({lineThrough(), lineThrough()});
            default: return multiPolygon({rings(), rings()});
        }
    }
    Record any() {
        switch (pick(12)) {
            case 0: return ofType(SPATIAL_TYPE_MULTIPOINT);  // no vertices
            case 1: return ofType(SPATIAL_TYPE_COLLECTION);  // no members
            case 2:
            case 3: {
                std::vector<Record> members;
                for (std::uint32_t k = 0, n = 1 + pick(3); k < n; ++k)
                    members.push_back(pick(6) == 0 ? ofType(SPATIAL_TYPE_MULTILINESTRING) : simple());
                return collection(members);
            }
            default: return simple();
        }
    }

    std::mt19937 random_;
    double extent_;
    std::deque<Record> kept_;  // records stay where they are
};

}  // namespace testrecords
