// The polygons of a polygon or multipolygon record, each prepared on first
// use and kept for the rest of one intersection call: from its rings, or
// as a view of a polygon shared across calls (PreparedPolygon::share).
#pragma once

#include <memory>
#include <vector>

#include "queries/call_scratch.h"
#include "queries/prepared_polygon.h"

namespace spatialgeom {

class PolygonSet {
public:
    explicit PolygonSet(double tolerance) : tolerance_(tolerance) {}

    // A ring sequence, and what is known of it (the box it points to is
    // copied); it must outlive the set.
    void add(const Byte* rings, const PolygonFacts& facts = {}) {
        members_.push_back(
            {rings, nullptr, facts.box != nullptr ? *facts.box : DRange3d{}, facts.box != nullptr, facts.finite});
        prepared_.emplace_back();
    }
    // A shared polygon; it must outlive the set.
    void addShared(PreparedPolygon& shared) {
        members_.push_back({nullptr, &shared, {}, false, false});
        prepared_.emplace_back();
    }
    std::size_t size() const { return members_.size(); }
    PreparedPolygon& at(std::size_t i) {
        if (!prepared_[i]) {
            const Member& m = members_[i];
            prepared_[i] = m.shared != nullptr
                               ? std::make_unique<PreparedPolygon>(*m.shared, tolerance_)
                               : std::make_unique<PreparedPolygon>(m.rings, tolerance_,
                                                                   PolygonFacts{m.hasBox ? &m.box : nullptr, m.finite});
        }
        return *prepared_[i];
    }

private:
    struct Member {
        const Byte* rings;
        PreparedPolygon* shared;
        DRange3d box;
        bool hasBox, finite;
    };
    double tolerance_;
    ScratchVector<Member> members_;
    ScratchVector<std::unique_ptr<PreparedPolygon>> prepared_;
};

}  // namespace spatialgeom
