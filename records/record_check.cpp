#include "records/record_check.h"

#include "records/navigation.h"

namespace spatialgeom {
namespace {

// Walks a record checking, before every read, that the bytes read lie
// inside [begin, begin + length). Once an element is known to lie inside,
// the navigation operations may size and step over it. Every step passes a
// header or a count word (8 bytes at least) that lies inside, so a walk
// costs O(length) whatever the counts say; a collection's members are
// walked twice (checked, then sized), which keeps it linear.
class BoundedWalk {
public:
    BoundedWalk(const Byte* begin, std::uint64_t length) : begin_(begin), length_(length) {}

    // True when a well-formed record of a type from 1 to highestType lies
    // at `at` inside the bytes; its size from the layout goes to *size.
    bool record(const Byte* at, std::uint32_t highestType, std::uint64_t* size) const {
        if (!inside(at, kHeaderSize)) return false;
        const std::uint32_t type = recordType(at);
        if (type < SPATIAL_TYPE_POINT || type > highestType) return false;
        if (!body(at, type) || !layoutSize(at, size) || !inside(at, *size)) return false;
        const std::uint32_t stored = recordTotalSize(at);
        return stored == 0 || stored == *size;
    }

private:
    bool body(const Byte* record, std::uint32_t type) const {
        switch (type) {
            case SPATIAL_TYPE_POINT: return inside(record, kPointRecordSize);
            case SPATIAL_TYPE_LINESTRING: return sublineSeq(lineBody(record));
            case SPATIAL_TYPE_POLYGON: return ringSeq(polygonBody(record));
            case SPATIAL_TYPE_MULTIPOINT: return multiPoint(record);
            case SPATIAL_TYPE_MULTILINESTRING: return ringSeq(multiLineBody(record));
            case SPATIAL_TYPE_MULTIPOLYGON:
                return counted(record + kBodyOffset,
                               [&](const Byte* rings) { return ringSeq(rings) ? nextRingSeq(rings) : nullptr; });
            default: return collection(record);
        }
    }

    bool multiPoint(const Byte* record) const {
        if (!inside(record + kBodyOffset, kCountWordsSize)) return false;
        return inside(record, kFirstElementOffset + kVertexSize * std::uint64_t{bodyCount(record)});
    }

    // Members are simple records (types 1 to 6), each at the previous one's
    // start plus its size rounded to 8.
    bool collection(const Byte* record) const {
        return counted(record + kBodyOffset, [&](const Byte* member) -> const Byte* {
            std::uint64_t size = 0;
            return this->record(member, SPATIAL_TYPE_MULTIPOLYGON, &size) ? member + roundUp8(size) : nullptr;
        });
    }

    bool sublineSeq(const Byte* seq) const {
        return counted(seq, [&](const Byte* subline) -> const Byte* {
            if (!inside(subline, kCountWordsSize) || !inside(subline, sublineSize(subline))) return nullptr;
            return nextSubline(subline);
        });
    }

    bool ringSeq(const Byte* rings) const {
        return counted(rings, [&](const Byte* seq) { return sublineSeq(seq) ? nextSublineSeq(seq) : nullptr; });
    }

    // A count word and its pad inside the bytes, then that many elements;
    // step checks the element at its argument and returns the address after
    // it, or null when the element is not well formed.
    template <typename Step>
    bool counted(const Byte* countWord, Step&& step) const {
        if (!inside(countWord, kCountWordsSize)) return false;
        const Byte* element = countWord + kCountWordsSize;
        for (std::uint32_t i = 0, n = readWord(countWord); i < n; ++i) {
            element = step(element);
            if (element == nullptr) return false;
        }
        return true;
    }

    // `at` never lies beyond the end: every address the walk forms is the
    // start or the end of an element already known to lie inside.
    bool inside(const Byte* at, std::uint64_t bytes) const {
        const std::uint64_t offset = static_cast<std::uint64_t>(at - begin_);
        return offset <= length_ && bytes <= length_ - offset;
    }

    const Byte* begin_;
    std::uint64_t length_;
};

}  // namespace

bool isWellFormedRecord(const Byte* record, std::uint64_t byteLength) {
    // Every other operation reads doubles in place: an unaligned block is no
    // record they can use.
    if (reinterpret_cast<std::uintptr_t>(record) % alignof(DPoint3d) != 0) return false;
    std::uint64_t size = 0;
    return BoundedWalk(record, byteLength).record(record, SPATIAL_TYPE_COLLECTION, &size);
}

}  // namespace spatialgeom
