#include "tools/record_check.h"

#include "records/navigation.h"

namespace spatialgeom::tool {
namespace {

// Walks a record checking, before every read, that the bytes read lie
// inside [begin, end). Once an element is known to lie inside, the
// navigation operations may size and step over it.
class BoundedWalk {
public:
    BoundedWalk(const Byte* begin, std::uint64_t length) : begin_(begin), length_(length) {}

    // The size of the record at `at`, or false with fault() set.
    bool record(const Byte* at, bool member, std::uint64_t* size) {
        if (!inside(at, kHeaderSize)) return fail("the bytes end inside a record header");
        const std::uint32_t type = recordType(at);
        const std::uint32_t highest = member ? SPATIAL_TYPE_MULTIPOLYGON : SPATIAL_TYPE_COLLECTION;
        if (type < SPATIAL_TYPE_POINT || type > highest) {
            return fail((member ? "collection member of type " : "unknown geometry type ") + std::to_string(type));
        }
        if (!body(at, type)) return false;
        layoutSize(at, size);
        if (!inside(at, *size)) return fail("the bytes end inside the record");
        const std::uint32_t stored = recordTotalSize(at);
        if (stored != 0 && stored != *size) {
            return fail("totalSize " + std::to_string(stored) + " differs from the layout's " + std::to_string(*size));
        }
        return true;
    }

    const std::string& fault() const { return fault_; }

private:
    bool body(const Byte* record, std::uint32_t type) {
        switch (type) {
            case SPATIAL_TYPE_POINT: return inside(record, kPointRecordSize) || fail("the bytes end inside the point");
            case SPATIAL_TYPE_LINESTRING: return sublineSeq(lineBody(record));
            case SPATIAL_TYPE_POLYGON: return ringSeq(polygonBody(record));
            case SPATIAL_TYPE_MULTIPOINT: return multiPoint(record);
            case SPATIAL_TYPE_MULTILINESTRING: return ringSeq(multiLineBody(record));
            case SPATIAL_TYPE_MULTIPOLYGON: return counted(record + kBodyOffset, [&](const Byte* rings) {
                return ringSeq(rings) ? nextRingSeq(rings) : nullptr;
            });
            default: return collection(record);
        }
    }

    bool multiPoint(const Byte* record) {
        if (!inside(record + kBodyOffset, kCountWordsSize)) return fail("the bytes end inside a count");
        const std::uint64_t size = kFirstElementOffset + kVertexSize * std::uint64_t{bodyCount(record)};
        return inside(record, size) || fail("the bytes end inside the points");
    }

    bool collection(const Byte* record) {
        return counted(record + kBodyOffset, [&](const Byte* member) -> const Byte* {
            std::uint64_t size = 0;
            return this->record(member, true, &size) ? member + roundUp8(size) : nullptr;
        });
    }

    bool sublineSeq(const Byte* seq) {
        return counted(seq, [&](const Byte* subline) -> const Byte* {
            if (!inside(subline, kCountWordsSize) || !inside(subline, sublineSize(subline))) {
                fail("the bytes end inside a subline");
                return nullptr;
            }
            return nextSubline(subline);
        });
    }

    bool ringSeq(const Byte* rings) {
        return counted(rings, [&](const Byte* seq) { return sublineSeq(seq) ? nextSublineSeq(seq) : nullptr; });
    }

    // A count word, its pad, then that many elements; step checks the
    // element at its argument and returns the address after it, or null.
    template <typename Step>
    bool counted(const Byte* countWord, Step&& step) {
        if (!inside(countWord, kCountWordsSize)) return fail("the bytes end inside a count");
        const Byte* element = countWord + kCountWordsSize;
        for (std::uint32_t i = 0, n = readWord(countWord); i < n; ++i) {
            element = step(element);
            if (element == nullptr) return false;
        }
        return true;
    }

    bool inside(const Byte* at, std::uint64_t bytes) const {
        const std::uint64_t offset = static_cast<std::uint64_t>(at - begin_);
        return offset <= length_ && bytes <= length_ - offset;
    }

    bool fail(const std::string& fault) {
        if (fault_.empty()) fault_ = fault;
        return false;
    }

    const Byte* begin_;
    std::uint64_t length_;
    std::string fault_;
};

}  // namespace

std::string recordFault(const void* record, std::uint64_t length) {
    BoundedWalk walk(static_cast<const Byte*>(record), length);
    std::uint64_t size = 0;
    if (!walk.record(static_cast<const Byte*>(record), false, &size)) return walk.fault();
    if (size != length) return std::to_string(length - size) + " bytes after the end of the record";
    return {};
}

}  // namespace spatialgeom::tool
