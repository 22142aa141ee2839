// Axis-aligned boxes of geometry records, walked in place with the
// navigation walkers. Shared by the ranges of the interface and the
// intersection pre-check.
#pragma once

#include "records/record_layout.h"

namespace spatialgeom {

// A box grown vertex by vertex. The first vertex sets low = high; every
// later one moves a bound only when a coordinate lies strictly beyond it,
// so a signed zero keeps the sign of the first vertex that set the bound,
// and a NaN coordinate never moves a bound it did not set.
//
// Made with trackFinite, it also notes whether every coordinate it has
// seen is finite (an infinity reaches the box; a NaN is noted as it
// passes), for callers that must know before exact arithmetic: a few
// instructions a vertex in the same pass, rather than a pass of its own.
class RunningRange {
public:
    explicit RunningRange(bool trackFinite = false) : tracking_(trackFinite) {}

    void add(const DPoint3d& vertex);
    void addVertices(const DPoint3d* vertices, std::uint32_t count);
    // Every vertex of every subline of a subline sequence.
    void addSublineSeq(const Byte* seq);
    // Every vertex of every subline sequence of a ring sequence.
    void addRingSeq(const Byte* rings);

    bool empty() const { return empty_; }
    // Meaningful only when !empty().
    const DRange3d& box() const { return box_; }
    // Made with trackFinite: is every coordinate added so far finite?
    // (True when none was added.)
    bool finite() const;

private:
    template <bool Track>
    void grow(const DPoint3d* vertices, std::uint32_t count);

    bool tracking_;
    bool empty_ = true;
    bool nanSeen_ = false;
    DRange3d box_{};
};

// The box of a record read as the kind named (the type code is not read).
// Each returns false, leaving *box untouched, when the record has no vertex
// at all; elements without vertices are skipped. One pass, no allocation.
// The polygon kinds also tell, when finite is not null, whether every
// coordinate is finite (*finite untouched when they return false).
bool pointRecordRange(const Byte* record, DRange3d* box);
bool lineRecordRange(const Byte* record, DRange3d* box);
bool polygonRecordRange(const Byte* record, DRange3d* box, bool* finite = nullptr);
bool multiPointRecordRange(const Byte* record, DRange3d* box);
bool multiLineRecordRange(const Byte* record, DRange3d* box);
bool multiPolygonRecordRange(const Byte* record, DRange3d* box, bool* finite = nullptr);
// The box of the record read as `kind` (1 to 6); false for other kinds.
bool rangeAsKind(const Byte* record, std::uint32_t kind, DRange3d* box);

}  // namespace spatialgeom
