// A record of kind 1 to 6 prepared once for intersection tests against any
// number of other records. It keeps each polygon of at least
// kSharedPolygonEdges edges prepared and shared (prepared_polygon.h: its
// vertices, edge index, plane and lifted boundary), and a copy of the rest
// of the record (the ring sequences of the other polygons; the whole
// record of a point or line kind), so that a test gathers only the other
// record and what was copied. Every answer is that of intersectRecords
// with the prepared record first, or second when the other record's kind
// is lower: the same tests on the same parts (an index built without the
// tolerance is queried with boxes widened by it instead; both find every
// element within the tolerance).
//
// Ownership: nothing refers to the record it was made from. Threads: the
// tests only read the object (each call's own work lives in the calling
// thread's scratch memory), so any number of threads may test one object
// at once. Memory: memoryBytes() <= 3 * recordBytes() + kMemorySlackBytes
// but for grids whose edges cross many cells (about 3.1 times at worst;
// see prepared_geometry.cpp for the accounting).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "queries/prepared_polygon.h"
#include "records/record_layout.h"

namespace spatialgeom {

class PreparedGeometry {
public:
    // Polygons with fewer edges are gathered at each test: they cost
    // little to gather, and their shared parts would not fit the memory
    // bound.
    static constexpr std::uint32_t kSharedPolygonEdges = 256;
    static constexpr std::size_t kMemorySlackBytes = 4096;

    // The record prepared, or nullptr when its type code is not 1 to 6 or
    // it has no vertex. Throws std::bad_alloc when memory runs out. Cost:
    // a copy of the record and the preparation of its large polygons,
    // O(n) time and memory (plus O(n) rational operations for the exact
    // normal of a polygon whose outer ring is not planar).
    // Tests may share smaller polygons (sharedPolygonEdges), beyond the
    // memory bound.
    static std::unique_ptr<PreparedGeometry> prepare(const Byte* record,
                                                     std::uint32_t sharedPolygonEdges = kSharedPolygonEdges);

    // Whether the record and `other` meet within tolerance: *meets. False,
    // *meets untouched, when other's type code is not 1 to 6, it has no
    // vertex, or memory runs out. Cost: that of intersectRecords without
    // the gathering and preparing of the large polygons.
    bool intersects(const Byte* other, double tolerance, bool* meets) const;

    // Whether the record and `other`, of kind otherKind (1 to 6, checked by
    // the caller), come within tolerance (finite, >= 0): the answer of
    // geometriesWithin (record_intersection.h), exact and without the
    // boxes' test, from the prepared parts. Memory from the caller's
    // ScratchScope; throws std::bad_alloc when there is none left.
    bool within(const Byte* other, std::uint32_t otherKind, double tolerance) const;

    std::uint32_t kind() const { return kind_; }
    // The record's range (rangeAsKind).
    const DRange3d& box() const { return box_; }
    std::size_t recordBytes() const { return recordBytes_; }
    // Every byte the object holds, itself included (the rationals of an
    // exact normal or of a cut lifted edge excepted: a few hundred bytes
    // per polygon that needs them).
    std::size_t memoryBytes() const;

    // The copy of a point or line kind's record.
    const Byte* record() const { return reinterpret_cast<const Byte*>(copy_.data()); }
    // Coordinates all below this in magnitude are too small for the
    // floating-point squares of a distance: such geometries are measured
    // scaled up by a power of two, from their records.
    static constexpr double kTinyMagnitude = 0x1p-300;
    // The copy of a polygon kind's whole record when its coordinates are
    // all below kTinyMagnitude (and not all 0); nullptr otherwise.
    const Byte* tinyRecord() const {
        return tinyCopy_.empty() ? nullptr : reinterpret_cast<const Byte*>(tinyCopy_.data());
    }
    // The polygons of a polygon kind, in order.
    std::size_t polygonCount() const { return polygons_.size(); }
    // Polygon i shared, or nullptr when it is gathered at each test from
    // polygonRings(i).
    PreparedPolygon* sharedPolygon(std::size_t i) const { return polygons_[i].shared.get(); }
    const Byte* polygonRings(std::size_t i) const {
        return reinterpret_cast<const Byte*>(copy_.data()) + polygons_[i].offset;
    }

private:
    PreparedGeometry() = default;

    struct Polygon {
        std::unique_ptr<PreparedPolygon> shared;
        std::size_t offset = 0;  // of its ring sequence in copy_, when not shared
    };

    std::uint32_t kind_ = 0;
    DRange3d box_{};
    std::size_t recordBytes_ = 0;
    // The record of a point or line kind; the ring sequences of the
    // polygons not shared, one after the other (each a multiple of 8 bytes).
    std::vector<std::uint64_t> copy_;
    std::vector<std::uint64_t> tinyCopy_;
    std::vector<Polygon> polygons_;

    template <std::uint32_t P, std::uint32_t O>
    friend bool intersectPrepared(const PreparedGeometry& prepared, const Byte* other, double tolerance, bool* meets);
};

}  // namespace spatialgeom
