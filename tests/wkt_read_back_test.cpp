// Everything the text writer writes reads back: the same kind and the same
// vertices (all of them exact at precision 17).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

// Sets the writer's precision for one test.
class Precision {
public:
    explicit Precision(int32_t digits) : previous_(spatialWKT_setPrecision(digits)) {}
    ~Precision() { spatialWKT_setPrecision(previous_); }

private:
    int32_t previous_;
};

// Writes the record as text and reads the text back into a byte buffer.
std::vector<uint8_t> readBack(const void* record) {
    std::vector<SpatialWChar> text(1 << 16);
    const int32_t written =
        spatialWKB_convertBinaryToText(record, text.data(), static_cast<uint32_t>(text.size() * sizeof text[0]));
    EXPECT_GT(written, 0);
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(text.data(), &size), SPATIAL_SUCCESS);
    std::vector<uint64_t> storage(size / 8 + 1);
    EXPECT_EQ(spatialWKB_convertTextToBinary(text.data(), storage.data(), size), SPATIAL_SUCCESS);
    const auto* bytes = reinterpret_cast<const uint8_t*>(storage.data());
    return {bytes, bytes + size};
}

// Vertices that %.17g writes and strtod reads back exactly, of every scale.
Vertices awkward(uint32_t n, double shift) {
    static const double values[] = {0.1, -2.5e-300, 1e300, 123456789.123456789, 5e-324, -0.0, 1.0 / 3.0, -7.0};
    Vertices result;
    for (uint32_t i = 0; i < n; ++i) {
        result.push_back({values[i % 8] + shift, values[(i + 3) % 8] * (1 + shift), values[(i + 5) % 8] - shift});
    }
    return result;
}

// Each kind, with several rings, members and holes, and a collection of
// them all.
TEST(ReadBack, EveryKindComesBackByteForByte) {
    const Precision precision(17);
    const auto a = awkward(5, 0), b = awkward(4, 0.25), c = awkward(7, -1.5);
    const auto first = [](const Vertices& v, std::size_t n) { return Vertices(v.begin(), v.begin() + n); };
    std::vector<Record> records = {point(a[1]),
                                   line({a}),
                                   polygon({{a}, {b}}),
                                   multiPoint(c),
                                   multiLine({{b}, {first(c, 1)}}),
                                   multiPolygon({{{a}, {b}}, {{c}, {first(a, 3)}, {first(b, 2)}}})};
    records.push_back(collection(records));
    for (const Record& record : records) {
        const Record made = record.withLibraryPads();
        EXPECT_EQ(readBack(record.data()), bytesOf(made.data())) << "type " << wordAt(made.data(), 8);
    }
}

TEST(ReadBack, SublinesOfALineComeBackAsOne) {
    const Precision precision(17);
    const auto first = awkward(2, 0), second = awkward(3, 2);
    Vertices both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(readBack(line({first, second}).data()), bytesOf(line({both}).withLibraryPads().data()));
}

TEST(ReadBack, CoordinatesAreRoundedAsTheWriterRoundedThem) {
    const Precision precision(6);
    const DPoint3d p{0.12345678, -98765.4321, 1e-7 / 3};
    auto rounded = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", value);
        return std::strtod(text, nullptr);
    };
    EXPECT_EQ(readBack(point(p).data()), bytesOf(point({rounded(p.x), rounded(p.y), rounded(p.z)}).data()));
}

}  // namespace
