// Records as Well-Known Binary. One encoder walks the record twice: first
// into a byte counter, which also finds whatever cannot be written, then
// into the caller's bytes. Both walks make the same decisions, so the second
// never fails and writes exactly what the first counted.
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "interchange/ogc_wkb.h"
#include "interchange/wkb_encoding.h"
#include "records/navigation.h"

namespace spatialgeom {
namespace {

using namespace wkb;

class ByteCounter {
public:
    void byte(Byte) { size_ += 1; }
    void word(std::uint32_t) { size_ += kWordBytes; }
    void vertices(const DPoint3d*, std::uint32_t count) { size_ += kVertexSize * std::uint64_t{count}; }
    std::uint64_t size() const { return size_; }

private:
    std::uint64_t size_ = 0;
};

// Stores little-endian at any alignment.
class ByteStore {
public:
    explicit ByteStore(Byte* at) : at_(at) {}
    void byte(Byte value) { *at_++ = value; }
    void word(std::uint32_t value) {
        storeLittleWord(at_, value);
        at_ += kWordBytes;
    }
    void vertices(const DPoint3d* vertices, std::uint32_t count) {
        if constexpr (kNativeLittle) {
            if (count != 0) std::memcpy(at_, vertices, kVertexSize * count);
            at_ += kVertexSize * count;
        } else {
            for (std::uint32_t i = 0; i < count; ++i) {
                for (double coordinate : {vertices[i].x, vertices[i].y, vertices[i].z}) {
                    storeLittleDouble(at_, coordinate);
                    at_ += kDoubleBytes;
                }
            }
        }
    }
    Byte* end() const { return at_; }

private:
    Byte* at_;
};

// The empty point of every reader.
bool allNaN(const DPoint3d& v) { return std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z); }

// Each function writes one element and returns false when it cannot be
// written; what it wrote before is then of no use.
template <typename Out>
class Encoder {
public:
    explicit Encoder(Out& out) : out_(out) {}

    bool geometry(const Byte* record, bool inCollection) {
        const std::uint32_t type = recordType(record);
        switch (type) {
            case SPATIAL_TYPE_POINT: return point(*pointVertex(record));
            case SPATIAL_TYPE_LINESTRING: return head(type) && pointList(lineBody(record));
            case SPATIAL_TYPE_POLYGON: return head(type) && rings(polygonBody(record));
            case SPATIAL_TYPE_MULTIPOINT: return head(type) && multiPoint(record);
            case SPATIAL_TYPE_MULTILINESTRING: return head(type) && multiLine(multiLineBody(record));
            case SPATIAL_TYPE_MULTIPOLYGON: return head(type) && multiPolygon(record);
            case SPATIAL_TYPE_COLLECTION: return !inCollection && head(type) && collection(record);
            default: return false;
        }
    }

private:
    bool head(std::uint32_t kind) {
        out_.byte(static_cast<Byte>(ByteOrder::kLittle));
        out_.word(kZCodeOffset + kind);
        return true;
    }

    bool point(const DPoint3d& vertex) {
        if (allNaN(vertex)) return false;
        head(SPATIAL_TYPE_POINT);
        out_.vertices(&vertex, 1);
        return true;
    }

    // A linestring body or a ring: every vertex of the subline sequence in
    // one list, subline after subline.
    bool pointList(const Byte* seq) {
        const std::uint64_t count = sublineSeqVertexCount(seq);
        if (count == 0 || count > std::numeric_limits<std::uint32_t>::max()) return false;
        out_.word(static_cast<std::uint32_t>(count));
        return forEachSubline(seq, [&](const Byte* subline) {
            out_.vertices(sublineVertices(subline), sublineVertexCount(subline));
            return true;
        });
    }

    bool rings(const Byte* rings) {
        if (ringCount(rings) == 0) return false;
        out_.word(ringCount(rings));
        return forEachSublineSeq(rings, [&](const Byte* ring) { return pointList(ring); });
    }

    bool multiPoint(const Byte* record) {
        const std::uint32_t count = bodyCount(record);
        if (count == 0) return false;
        out_.word(count);
        const DPoint3d* points = multiPointVertices(record);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!point(points[i])) return false;
        }
        return true;
    }

    // Every subline of every member line is a linestring of its own.
    bool multiLine(const Byte* lines) {
        std::uint64_t count = 0;
        const bool counted = forEachSublineSeq(lines, [&](const Byte* line) {
            count += sublineCount(line);
            return sublineCount(line) != 0;
        });
        if (!counted || count > std::numeric_limits<std::uint32_t>::max()) return false;
        out_.word(static_cast<std::uint32_t>(count));
        return forEachSublineSeq(lines, [&](const Byte* line) {
            return forEachSubline(line, [&](const Byte* subline) {
                const std::uint32_t vertexCount = sublineVertexCount(subline);
                if (vertexCount == 0) return false;
                head(SPATIAL_TYPE_LINESTRING);
                out_.word(vertexCount);
                out_.vertices(sublineVertices(subline), vertexCount);
                return true;
            });
        });
    }

    bool multiPolygon(const Byte* record) {
        out_.word(bodyCount(record));
        return forEachPolygon(record,
                              [&](const Byte* polygon) { return head(SPATIAL_TYPE_POLYGON) && rings(polygon); });
    }

    bool collection(const Byte* record) {
        out_.word(bodyCount(record));
        return forEachMember(record, [&](const Byte* member) { return geometry(member, true); });
    }

    Out& out_;
};

}  // namespace

bool ogcWkbSize(const Byte* record, std::uint64_t* size) {
    ByteCounter counter;
    if (!Encoder<ByteCounter>(counter).geometry(record, false)) return false;
    *size = counter.size();
    return true;
}

Byte* writeOgcWkb(const Byte* record, Byte* out) {
    ByteStore store(out);
    Encoder<ByteStore>(store).geometry(record, false);
    return store.end();
}

}  // namespace spatialgeom
