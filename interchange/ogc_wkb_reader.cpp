// Records from Well-Known Binary. The bytes are read once, front to back,
// into flat arrays in record order (vertices, the length of each line or
// ring, the ring count of each polygon); the record builder then lays the
// record out in one block. Every read is checked against the bytes left,
// and every count against the bytes it needs at the least, before anything
// is reserved for it.
#include <cmath>
#include <cstring>

#include "interchange/ogc_wkb.h"
#include "interchange/wkb_encoding.h"
#include "records/record_builder.h"
#include "records/record_memory.h"
#include "text/parsed_text.h"

namespace spatialgeom {
namespace {

using namespace wkb;

// What a geometry's byte-order byte and type word say.
struct Head {
    ByteOrder order = ByteOrder::kLittle;
    std::uint32_t kind = 0;       // 1 to 7
    std::size_t vertexBytes = 0;  // 16 (x y) or 24 (x y z)
};

// The fewest bytes a geometry takes: its head and one word (a count, or
// half of a point's coordinates). Bounds the member count of a container.
constexpr std::size_t kSmallestGeometry = kHeadBytes + kWordBytes;
constexpr std::size_t kSmallestPoint = kHeadBytes + 2 * kDoubleBytes;

// Kind and dimension of a type word; false for the codes refused.
bool decodeType(std::uint32_t type, Head* head) {
    const std::uint32_t flags = type & kFlagBits;
    std::uint32_t kind = type & ~kFlagBits;
    bool hasZ = (flags & kZFlag) != 0;
    if (flags & kMFlag) return false;
    if (flags == 0 && kind > kZCodeOffset && kind <= kZCodeOffset + kLastKind) {
        kind -= kZCodeOffset;
        hasZ = true;
    }
    if (kind < SPATIAL_TYPE_POINT || kind > kLastKind) return false;
    head->kind = kind;
    head->vertexBytes = (hasZ ? 3 : 2) * kDoubleBytes;
    return true;
}

class Reader {
public:
    Reader(const Byte* bytes, std::size_t length, ParsedText& out) : at_(bytes), end_(bytes + length), out_(out) {}

    // One geometry and nothing after it.
    bool read() {
        Head head;
        if (!readHead(&head)) return false;
        if (head.kind == SPATIAL_TYPE_COLLECTION) {
            out_.isCollection = true;
            if (!collection(head)) return false;
        } else {
            startShape(head.kind);
            if (!body(head)) return false;
        }
        return at_ == end_;
    }

private:
    std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }

    bool readHead(Head* head) {
        if (left() < kHeadBytes || at_[0] > static_cast<Byte>(ByteOrder::kLittle)) return false;
        head->order = static_cast<ByteOrder>(at_[0]);
        const std::uint32_t type = loadWord(at_ + 1, head->order);
        at_ += kHeadBytes;
        if (!decodeType(type, head)) return false;
        // The extended dialect's SRID: present when flagged, not kept.
        if (type & kSridFlag) {
            if (left() < kWordBytes) return false;
            at_ += kWordBytes;
        }
        return true;
    }

    // The head of a container's member, which must be of kind `kind`.
    bool memberHead(std::uint32_t kind, Head* head) { return readHead(head) && head->kind == kind; }

    // A count word whose elements, at least elementBytes each, fit in the
    // bytes after it.
    bool count(const Head& head, std::size_t elementBytes, std::uint32_t* count) {
        if (left() < kWordBytes) return false;
        *count = loadWord(at_, head.order);
        at_ += kWordBytes;
        return std::uint64_t{*count} * elementBytes <= left();
    }

    // Appends count vertices; z is 0 for x y geometries.
    bool vertices(const Head& head, std::uint32_t count) {
        const std::uint64_t bytes = std::uint64_t{count} * head.vertexBytes;
        if (bytes > left()) return false;
        if (count == 0) return true;
        const std::size_t first = out_.vertices.size();
        out_.vertices.resize(first + count);
        DPoint3d* to = out_.vertices.data() + first;
        if (head.vertexBytes == kVertexSize && isNative(head.order)) {
            std::memcpy(to, at_, bytes);
            at_ += bytes;
            return true;
        }
        const bool hasZ = head.vertexBytes == kVertexSize;
        for (std::uint32_t i = 0; i < count; ++i, at_ += head.vertexBytes) {
            to[i] = {loadDouble(at_, head.order), loadDouble(at_ + kDoubleBytes, head.order),
                     hasZ ? loadDouble(at_ + 2 * kDoubleBytes, head.order) : 0.0};
        }
        return true;
    }

    bool body(const Head& head) {
        switch (head.kind) {
            case SPATIAL_TYPE_POINT: return point(head);
            case SPATIAL_TYPE_LINESTRING: return pointList(head);
            case SPATIAL_TYPE_POLYGON: return polygon(head, nullptr);
            case SPATIAL_TYPE_MULTIPOINT: return multiPoint(head);
            case SPATIAL_TYPE_MULTILINESTRING: return multiLine(head);
            case SPATIAL_TYPE_MULTIPOLYGON: return multiPolygon(head);
            default: return false;  // a collection inside a collection
        }
    }

    // All coordinates NaN is the empty point, which no record holds.
    bool point(const Head& head) {
        if (!vertices(head, 1)) return false;
        const DPoint3d& v = out_.vertices.back();
        const bool hasZ = head.vertexBytes == kVertexSize;
        return !(std::isnan(v.x) && std::isnan(v.y) && (!hasZ || std::isnan(v.z)));
    }

    // A linestring body or a ring: a count of at least one point.
    bool pointList(const Head& head) {
        std::uint32_t n = 0;
        if (!count(head, head.vertexBytes, &n) || n == 0 || !vertices(head, n)) return false;
        out_.runLengths.push_back(n);
        return true;
    }

    bool polygon(const Head& head, std::uint32_t* ringsRead) {
        std::uint32_t rings = 0;
        if (!count(head, kWordBytes + head.vertexBytes, &rings) || rings == 0) return false;
        for (std::uint32_t i = 0; i < rings; ++i) {
            if (!pointList(head)) return false;
        }
        if (ringsRead != nullptr) *ringsRead = rings;
        return true;
    }

    bool multiPoint(const Head& head) {
        std::uint32_t points = 0;
        if (!count(head, kSmallestPoint, &points) || points == 0) return false;
        for (std::uint32_t i = 0; i < points; ++i) {
            Head member;
            if (!memberHead(SPATIAL_TYPE_POINT, &member) || !point(member)) return false;
        }
        return true;
    }

    bool multiLine(const Head& head) {
        std::uint32_t lines = 0;
        if (!count(head, kSmallestGeometry, &lines)) return false;
        for (std::uint32_t i = 0; i < lines; ++i) {
            Head member;
            if (!memberHead(SPATIAL_TYPE_LINESTRING, &member) || !pointList(member)) return false;
        }
        return true;
    }

    bool multiPolygon(const Head& head) {
        std::uint32_t polygons = 0;
        if (!count(head, kSmallestGeometry, &polygons)) return false;
        for (std::uint32_t i = 0; i < polygons; ++i) {
            Head member;
            std::uint32_t rings = 0;
            if (!memberHead(SPATIAL_TYPE_POLYGON, &member) || !polygon(member, &rings)) return false;
            out_.groupLengths.push_back(rings);
        }
        return true;
    }

    // Members of kinds 1 to 6, each read by body(), which reads no deeper.
    bool collection(const Head& head) {
        std::uint32_t members = 0;
        if (!count(head, kSmallestGeometry, &members)) return false;
        for (std::uint32_t i = 0; i < members; ++i) {
            Head member;
            if (!readHead(&member)) return false;
            startShape(member.kind);
            if (!body(member)) return false;
        }
        return true;
    }

    void startShape(std::uint32_t type) {
        out_.shapes.push_back({type, out_.vertices.size(), out_.runLengths.size(), out_.groupLengths.size()});
    }

    const Byte* at_;
    const Byte* const end_;
    ParsedText& out_;
};

}  // namespace

Byte* recordFromOgcWkb(const Byte* bytes, std::size_t length) {
    ParsedText geometries;
    if (!Reader(bytes, length, geometries).read()) return nullptr;
    const std::uint64_t size = geometries.recordSize();
    if (!fitsRecordSize(size)) return nullptr;
    Byte* record = allocateRecord(size);
    if (record == nullptr) return nullptr;
    geometries.writeRecord(record);
    return record;
}

}  // namespace spatialgeom
