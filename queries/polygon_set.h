// The polygons of a polygon or multipolygon record, each prepared on first
// use and kept for the rest of one intersection call.
#pragma once

#include <memory>
#include <vector>

#include "queries/call_scratch.h"
#include "queries/prepared_polygon.h"

namespace spatialgeom {

class PolygonSet {
public:
    explicit PolygonSet(double tolerance) : tolerance_(tolerance) {}

    // A ring sequence; it must outlive the set.
    void add(const Byte* rings) {
        members_.push_back(rings);
        prepared_.emplace_back();
    }
    std::size_t size() const { return members_.size(); }
    PreparedPolygon& at(std::size_t i) {
        if (!prepared_[i]) prepared_[i] = std::make_unique<PreparedPolygon>(members_[i], tolerance_);
        return *prepared_[i];
    }

private:
    double tolerance_;
    ScratchVector<const Byte*> members_;
    ScratchVector<std::unique_ptr<PreparedPolygon>> prepared_;
};

}  // namespace spatialgeom
