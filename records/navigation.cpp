#include "records/navigation.h"

#include <algorithm>

namespace spatialgeom {

std::uint64_t sublineSeqSize(const Byte* seq) {
    std::uint64_t size = kCountWordsSize;
    forEachSubline(seq, [&](const Byte* subline) {
        size += sublineSize(subline);
        return true;
    });
    return roundUp8(size);
}

std::uint64_t sublineSeqVertexCount(const Byte* seq) {
    std::uint64_t count = 0;
    forEachSubline(seq, [&](const Byte* subline) {
        count += sublineVertexCount(subline);
        return true;
    });
    return count;
}

std::uint64_t ringSeqSize(const Byte* rings) {
    std::uint64_t size = kCountWordsSize;
    forEachSublineSeq(rings, [&](const Byte* seq) {
        size += sublineSeqSize(seq);
        return true;
    });
    return roundUp8(size);
}

std::uint64_t ringSeqVertexCount(const Byte* rings) {
    std::uint64_t count = 0;
    forEachSublineSeq(rings, [&](const Byte* seq) {
        count += sublineSeqVertexCount(seq);
        return true;
    });
    return count;
}

bool memberSize(const Byte* member, std::uint64_t* size) {
    if (std::uint32_t stored = recordTotalSize(member); stored != 0) {
        *size = stored;
        return true;
    }
    return layoutSize(member, size);
}

std::uint64_t collectionSize(const Byte* record) {
    std::uint64_t total = 0;
    const Byte* member = record + kFirstElementOffset;
    for (std::uint32_t i = 0, n = bodyCount(record); i < n; ++i) {
        std::uint64_t size = 0;
        if (!memberSize(member, &size)) break;
        total += roundUp8(size);
        member += roundUp8(size);
    }
    return kFirstElementOffset + total;
}

const Byte* nextMember(const Byte* member) {
    std::uint64_t size = 0;
    if (!memberSize(member, &size)) return nullptr;
    return member + roundUp8(size);
}

// Copies one subline when it fits in what is left of the capacity.
static bool copySubline(const Byte* subline, std::uint32_t capacity, DPoint3d* destination, std::uint32_t* copied) {
    const std::uint32_t n = sublineVertexCount(subline);
    if (capacity - *copied < n) return false;
    std::copy_n(sublineVertices(subline), n, destination + *copied);
    *copied += n;
    return true;
}

bool sublineSeqCopyVertices(const Byte* seq, std::uint32_t capacity, DPoint3d* destination, std::uint32_t* copied) {
    std::uint32_t done = 0;
    const bool complete =
        forEachSubline(seq, [&](const Byte* subline) { return copySubline(subline, capacity, destination, &done); });
    *copied = done;
    return complete;
}

bool ringSeqCopyVertices(const Byte* rings, std::uint32_t capacity, DPoint3d* destination, std::uint32_t* copied) {
    std::uint32_t wholeRings = 0;
    const bool complete = forEachSublineSeq(rings, [&](const Byte* seq) {
        std::uint32_t inRing = 0;
        if (!sublineSeqCopyVertices(seq, capacity - wholeRings, destination + wholeRings, &inRing)) return false;
        wholeRings += inRing;
        return true;
    });
    *copied = wholeRings;
    return complete;
}

// The index-th element after `first`, each found from the one before by
// `step`; null when the index is not below count.
template <typename Step>
static const Byte* indexedElement(const Byte* first, std::uint32_t count, std::uint32_t index, Step&& step) {
    if (index >= count) return nullptr;
    for (std::uint32_t i = 0; i < index; ++i) first = step(first);
    return first;
}

const Byte* multiLineMember(const Byte* record, std::uint32_t index) {
    return indexedElement(record + kFirstElementOffset, bodyCount(record), index,
                          [](const Byte* line) { return nextSublineSeq(line); });
}

const Byte* multiPolygonMember(const Byte* record, std::uint32_t index) {
    return indexedElement(record + kFirstElementOffset, bodyCount(record), index,
                          [](const Byte* polygon) { return nextRingSeq(polygon); });
}

std::uint64_t lineRecordSize(const Byte* record) { return kHeaderSize + sublineSeqSize(lineBody(record)); }

std::uint64_t polygonRecordSize(const Byte* record) { return kHeaderSize + ringSeqSize(polygonBody(record)); }

std::uint64_t multiPointRecordSize(const Byte* record) {
    const std::uint64_t count = bodyCount(record);
    return roundUp8(count == 0 ? kFirstElementOffset : (count + 1) * kVertexSize);
}

std::uint64_t multiLineRecordSize(const Byte* record) {
    std::uint64_t size = kFirstElementOffset;
    forEachSublineSeq(multiLineBody(record), [&](const Byte* line) {
        size += sublineSeqSize(line);
        return true;
    });
    return roundUp8(size);
}

std::uint64_t multiPolygonRecordSize(const Byte* record) {
    std::uint64_t size = kFirstElementOffset;
    forEachPolygon(record, [&](const Byte* polygon) {
        size += ringSeqSize(polygon);
        return true;
    });
    return roundUp8(size);
}

bool layoutSize(const Byte* record, std::uint64_t* size) {
    switch (recordType(record)) {
        case SPATIAL_TYPE_POINT: *size = kPointRecordSize; return true;
        case SPATIAL_TYPE_LINESTRING: *size = lineRecordSize(record); return true;
        case SPATIAL_TYPE_POLYGON: *size = polygonRecordSize(record); return true;
        case SPATIAL_TYPE_MULTIPOINT: *size = multiPointRecordSize(record); return true;
        case SPATIAL_TYPE_MULTILINESTRING: *size = multiLineRecordSize(record); return true;
        case SPATIAL_TYPE_MULTIPOLYGON: *size = multiPolygonRecordSize(record); return true;
        case SPATIAL_TYPE_COLLECTION: *size = collectionSize(record); return true;
        default: return false;
    }
}

}  // namespace spatialgeom
