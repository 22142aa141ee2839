// The boxes of a list of records, the first step of the join and of the
// nearest search: measured on several threads, kept with their positions
// for the box tree (join/box_tree.h).
#pragma once

#include <cstdint>
#include <vector>

#include "join/collection_union.h"
#include "join/parallel_loop.h"

namespace spatialgeom {

struct BoxedRecords {
    std::vector<DRange3d> boxes;
    std::vector<std::uint32_t> ids;  // the position of the record of boxes[k], ascending
};

// The records for which boxOf(record, &box) answers true, with their
// boxes, in list order; null entries take part in nothing. False when a
// record is one unionKinds refuses (*boxed then unspecified). boxOf runs on
// up to `threads` threads at once. Throws std::bad_alloc (boxOf may too).
template <typename BoxOf>
bool boxesOf(const void* const* records, std::uint32_t count, std::uint32_t threads, BoxOf&& boxOf,
             BoxedRecords* boxed) {
    constexpr std::size_t kRecordsPerChunk = 4096;
    enum : unsigned char { kNone, kBoxed, kRefused };
    std::vector<DRange3d> boxes(count);
    std::vector<unsigned char> state(count, kNone);
    parallelFor(count, threads, kRecordsPerChunk, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const auto* record = static_cast<const Byte*>(records[i]);
            if (record == nullptr) continue;
            if (!unionKinds(record)) {
                state[i] = kRefused;
            } else if (boxOf(record, &boxes[i])) {
                state[i] = kBoxed;
            }
        }
    });
    boxed->boxes.clear();
    boxed->ids.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (state[i] == kRefused) return false;
        if (state[i] != kBoxed) continue;
        boxed->boxes.push_back(boxes[i]);
        boxed->ids.push_back(i);
    }
    return true;
}

}  // namespace spatialgeom
