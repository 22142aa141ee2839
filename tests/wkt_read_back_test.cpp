// Everything the text writer writes reads back: the same kind and the same
// vertices (all of them exact at precision 17).
#include <gtest/gtest.h>

#include <clocale>
#include <string>
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

// Sets, for one test, a numeric locale whose decimal separator is a comma
// if one is installed.
class CommaLocale {
public:
    CommaLocale() : saved_(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr && active()) return;
        }
        std::setlocale(LC_NUMERIC, saved_.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    static bool active() { return std::string(std::localeconv()->decimal_point) == ","; }

private:
    std::string saved_;
};

// The record as text, written with ample room.
std::u16string written(const void* record) {
    std::vector<SpatialWChar> text(1 << 16);
    const int32_t length =
        spatialWKB_convertBinaryToText(record, text.data(), static_cast<uint32_t>(text.size() * sizeof text[0]));
    EXPECT_GT(length, 0);
    return std::u16string(text.data(), static_cast<std::size_t>(length < 0 ? 0 : length));
}

// Writes the record as text and reads the text back into a byte buffer.
std::vector<uint8_t> readBack(const void* record) {
    const std::u16string text = written(record);
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(text.c_str(), &size), SPATIAL_SUCCESS);
    std::vector<uint64_t> storage(size / 8 + 1);
    EXPECT_EQ(spatialWKB_convertTextToBinary(text.c_str(), storage.data(), size), SPATIAL_SUCCESS);
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

// Under a locale whose decimal separator is a comma, numbers are still
// written and read with a point, on the short and the general number paths.
TEST(ReadBack, NumbersIgnoreTheHostLocale) {
    const CommaLocale locale;
    if (!CommaLocale::active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
    const Record line = testrecords::line({{{1.5, 2.25, -3}, {3.14159, 1234567, 0.00001}}});
    EXPECT_EQ(written(line.data()), u"linestring(1.5 2.25 -3,3.14159 1.23457e+06 1e-05)");
    {
        const Precision precision(3);
        EXPECT_EQ(written(line.data()), u"linestring(1.5 2.25 -3,3.14 1.23e+06 1e-05)");
    }
    const Precision precision(17);
    EXPECT_EQ(readBack(line.data()), bytesOf(line.withLibraryPads().data()));
}

}  // namespace
