// The text-reading exports: results, the process-wide message, the records
// produced, the wide-text conversions and parsing from several threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "record_test_support.h"
#include "records/navigation.h"
#include "text/wkt_parser.h"

using namespace testing_support;

namespace {

const auto kNullText = static_cast<uint32_t>(SPATIAL_PARSE_NULL_TEXT);
void* const kUntouched = reinterpret_cast<void*>(0x1234);

std::string lastMessage() { return spatialParse_errorString(); }

TEST(ParseString, ResultsAndMessages) {
    const struct {
        const char* text;
        int32_t result;
        const char* message;
    } cases[] = {{"POINT(1 2)", SPATIAL_PARSE_SYNTAX_ERROR, "parse error, at or near \")\"\n"},
                 {"POINT(1 2 3", SPATIAL_PARSE_SYNTAX_ERROR, "parse error, at or near \"\"\n"},
                 {"POINT(--3 1 2)", SPATIAL_PARSE_SYNTAX_ERROR, "parse error, at or near \"--3\"\n"},
                 {nullptr, SPATIAL_PARSE_NULL_TEXT, ""}};
    for (const auto& c : cases) {
        void* record = kUntouched;
        EXPECT_EQ(spatialParse_string(c.text, &record), c.result);
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(record, kUntouched);
    }
    Record point;
    EXPECT_EQ(spatialParse_string("POINT(1 2 3)", point.out()), 0);
    EXPECT_EQ(lastMessage(), "");
    EXPECT_EQ(wordAt(point.get(), 12), 40u);
    EXPECT_TRUE(samePoint(vertexAt(point.get(), 16), {1, 2, 3}));
    // A null record variable fails only an accepted text.
    EXPECT_EQ(spatialParse_string("POINT(1 2 3)", nullptr), static_cast<int32_t>(SPATIAL_FAILURE));
    EXPECT_EQ(spatialParse_string("POINT(1 2)", nullptr), SPATIAL_PARSE_SYNTAX_ERROR);
    EXPECT_EQ(spatialParse_uninitialize(), 0);  // both do nothing
    EXPECT_EQ(spatialParse_initialize(), 0);
}

TEST(ParseString, UnmatchedBytesGoToStandardOutput) {
    Record record;
    testing::internal::CaptureStdout();
    EXPECT_EQ(spatialParse_string("Point\r(1 2 3);\xe9", record.out()), SPATIAL_PARSE_SYNTAX_ERROR);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Point\r");
    testing::internal::CaptureStdout();
    EXPECT_EQ(spatialParse_string("POINT(1 2 3);\xe9", record.out()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ";\xe9");
}

struct RecordCase {
    const char* text;
    uint32_t type;
    uint32_t size;
    uint32_t topCount;  // the count word at offset 16 (not for points)
};

TEST(ParseString, RecordsOfEveryKind) {
    const RecordCase cases[] = {
        {"POINT(1 2 3)", SPATIAL_TYPE_POINT, 40, 0},
        {"LINESTRING(0 0 0,1 1 1)", SPATIAL_TYPE_LINESTRING, 80, 1},
        {"POLYGON((0 0 0,4 0 0,4 4 0,0 0 0),(1 1 0,2 1 0,2 2 0,1 2 0,1 1 0))", SPATIAL_TYPE_POLYGON, 272, 2},
        {"MULTIPOINT((1 2 3),(4 5 6))", SPATIAL_TYPE_MULTIPOINT, 72, 2},
        {"MULTILINESTRING((1 2 3,4 5 6),(7 8 9))", SPATIAL_TYPE_MULTILINESTRING, 24 + 64 + 40, 2},
        {"MULTIPOLYGON(((0 0 0,1 0 0,1 1 0,0 0 0)),((5 5 0,9 5 0,9 9 0,5 5 0),(6 6 0,7 6 0,7 7 0,6 6 0)))",
         SPATIAL_TYPE_MULTIPOLYGON, 376, 2},
        {"GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(1 2 3,4 5 6))", SPATIAL_TYPE_COLLECTION, 144, 2},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.text);
        Record record;
        ASSERT_EQ(spatialParse_string(c.text, record.out()), 0);
        EXPECT_EQ(wordAt(record.get(), 0), 1u);
        EXPECT_EQ(wordAt(record.get(), 4), 1u);
        EXPECT_EQ(wordAt(record.get(), 8), c.type);
        EXPECT_EQ(wordAt(record.get(), 12), c.size);
        uint32_t computed = 0;
        ASSERT_EQ(spatialWKB_calculateSize(record.get(), &computed), 0u);
        EXPECT_EQ(computed, c.size);
        if (c.type != SPATIAL_TYPE_POINT) {
            EXPECT_EQ(wordAt(record.get(), 16), c.topCount);
        }
    }
}

// Holes stay with their own polygon, as the growing exports put them.
TEST(ParseString, MatchesTheRecordBuiltByTheExports) {
    const std::vector<DPoint3d> outer = {{0, 0, 0}, {9, 0, 0}, {9, 9, 0}, {0, 0, 0}};
    const std::vector<DPoint3d> hole = {{1, 1, 0}, {2, 1, 0}, {1, 2, 0}, {1, 1, 0}};
    Record expected, parsed;
    ASSERT_EQ(spatialWKB_createMultiPolygon(outer.data(), 4, expected.out()), 0u);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(hole.data(), 4, expected.out()), 0u);
    ASSERT_EQ(spatialWKB_addPolyToMultiPoly(outer.data(), 4, expected.out()), 0u);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(hole.data(), 4, expected.out()), 0u);
    ASSERT_EQ(spatialWKB_addPolyToMultiPoly(outer.data(), 4, expected.out()), 0u);
    const std::string polygonWithHole = "((0 0 0,9 0 0,9 9 0,0 0 0),(1 1 0,2 1 0,1 2 0,1 1 0))";
    ASSERT_EQ(spatialParse_string(("multipolygon(" + polygonWithHole + "," + polygonWithHole +
                                   ",((0 0 0,9 0 0,9 9 0,0 0 0)))").c_str(), parsed.out()), 0);
    const uint32_t size = wordAt(expected.get(), 12);
    ASSERT_EQ(wordAt(parsed.get(), 12), size);
    EXPECT_EQ(std::vector<uint8_t>(parsed.bytes(), parsed.bytes() + size),
              std::vector<uint8_t>(expected.bytes(), expected.bytes() + size));
}

TEST(ParseString, CollectionMembersAreWholeRecords) {
    Record record;
    ASSERT_EQ(spatialParse_string("GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(1 2 3,4 5 6),"
                                  "MULTIPOINT((7 8 9)))",
                                  record.out()),
              0);
    EXPECT_EQ(wordAt(record.get(), 12), 24u + 40 + 80 + 48);
    EXPECT_EQ(wordAt(record.get(), 16), 3u);
    EXPECT_EQ(wordAt(record.get(), 24 + 8), SPATIAL_TYPE_POINT);
    EXPECT_EQ(wordAt(record.get(), 64 + 8), SPATIAL_TYPE_LINESTRING);
    EXPECT_EQ(wordAt(record.get(), 64 + 12), 80u);
    EXPECT_TRUE(samePoint(vertexAt(record.get(), 64 + 56), {4, 5, 6}));
    EXPECT_EQ(wordAt(record.get(), 144 + 8), SPATIAL_TYPE_MULTIPOINT);
    EXPECT_TRUE(samePoint(vertexAt(record.get(), 144 + 24), {7, 8, 9}));
}

TEST(ConvertTextToBinary, CopiesWhenTheRecordFits) {
    std::vector<uint8_t> buffer(48, 0xAB);
    EXPECT_EQ(spatialWKB_convertTextToBinary(u"POINT(1 2 3)", buffer.data(), 39), SPATIAL_BUFFER_TOO_SMALL);
    EXPECT_EQ(buffer, std::vector<uint8_t>(48, 0xAB));
    EXPECT_EQ(spatialWKB_convertTextToBinary(u"POINT(1 2 3)", buffer.data(), 40), SPATIAL_SUCCESS);
    EXPECT_EQ(wordAt(buffer.data(), 12), 40u);
    EXPECT_TRUE(samePoint(vertexAt(buffer.data(), 16), {1, 2, 3}));
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 40, buffer.end()), std::vector<uint8_t>(8, 0xAB));
}

TEST(ConvertTextToBinary, WritesTheSameBytesAsTheParse) {
    const char* narrow = "GEOMETRYCOLLECTION(POLYGON((1 2 3,4 5 6,7 8 9)),MULTILINESTRING((1 1 1),(2 2 2,3 3 3)))";
    const std::u16string wide(narrow, narrow + std::char_traits<char>::length(narrow));
    Record parsed;
    ASSERT_EQ(spatialParse_string(narrow, parsed.out()), 0);
    const uint32_t size = wordAt(parsed.get(), 12);
    std::vector<uint8_t> buffer(size + 1);
    // One byte in: the destination need not be aligned.
    ASSERT_EQ(spatialWKB_convertTextToBinary(wide.c_str(), buffer.data() + 1, size), SPATIAL_SUCCESS);
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 1, buffer.end()),
              std::vector<uint8_t>(parsed.bytes(), parsed.bytes() + size));
}

TEST(WideText, SizesResultsAndBadArguments) {
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(u"GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(1 2 3,4 5 6))", &size),
              SPATIAL_SUCCESS);
    EXPECT_EQ(size, 144u);
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(u"POINT(1 2)", &size), static_cast<uint32_t>(SPATIAL_PARSE_SYNTAX_ERROR));
    EXPECT_EQ(lastMessage(), "parse error, at or near \")\"\n");
    uint8_t buffer[64];
    EXPECT_EQ(spatialWKB_convertTextToBinary(u"POINT(1 2 3 4)", buffer, 64),
              static_cast<uint32_t>(SPATIAL_PARSE_SYNTAX_ERROR));
    EXPECT_EQ(lastMessage(), "parse error, at or near \"4\"\n");
    size = 7;
    const char16_t unpaired[] = {u'P', u'O', u'I', u'N', u'T', u'(', u'1', 0xD800, u' ', u'2', u' ', u'3', u')', 0};
    const struct {
        const char16_t* text;
        bool toSize, toBuffer;
        uint32_t result;
    } bad[] = {{nullptr, true, true, kNullText}, {u"POINT(1 2 3)", false, false, SPATIAL_FAILURE},
               {unpaired, true, true, SPATIAL_FAILURE}};
    for (const auto& c : bad) {
        EXPECT_EQ(spatialWKB_getSizeFromTextGeom(c.text, c.toSize ? &size : nullptr), c.result);
        EXPECT_EQ(spatialWKB_convertTextToBinary(c.text, c.toBuffer ? buffer : nullptr, 64), c.result);
    }
    EXPECT_EQ(size, 7u);
}

TEST(WideText, NonAsciiCharactersAreEchoedAsUtf8) {
    uint32_t size = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(u"POINT(1 2 3) \u00e9\U0001F600", &size), SPATIAL_SUCCESS);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\xc3\xa9\xf0\x9f\x98\x80");
    EXPECT_EQ(size, 40u);
}

// Each thread parses its own texts over and over and checks every record:
// no parse sees another's state.
TEST(ParseString, ThreadsParseIndependently) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            const std::string n = std::to_string(t + 1);
            std::string line = "LINESTRING(";
            for (int i = 0; i <= t * 50; ++i) line += (i ? "," : "") + n + " " + std::to_string(i) + " " + n;
            line += ")";
            const uint32_t expectedSize = 32 + 24 * (t * 50 + 1);
            for (int round = 0; round < kRounds; ++round) {
                Record record;
                DPoint3d last{};
                uint32_t count = 0;
                const bool ok = spatialParse_string(line.c_str(), record.out()) == 0 &&
                                wordAt(record.get(), 12) == expectedSize &&
                                wordAt(record.get(), 28) == static_cast<uint32_t>(t * 50 + 1) &&
                                spatialWKB_lineGetPointCount(record.get(), &count) == 0;
                if (ok) last = vertexAt(record.get(), expectedSize - 24);
                if (!ok || !samePoint(last, {t + 1.0, t * 50.0, t + 1.0})) ++failures[t];
                void* none = nullptr;
                if (spatialParse_string("POINT(1 2)", &none) != SPATIAL_PARSE_SYNTAX_ERROR || none != nullptr)
                    ++failures[t];
                // The process-wide message may be another thread's; the
                // parse's own message is its thread's.
                spatialgeom::ParsedText parsed;
                spatialgeom::ParseMessage message{};
                if (spatialgeom::parseWkt("POINT(1 2 3 " + n + ")", &parsed, &message) != 1 ||
                    std::string(message.data()) != "parse error, at or near \"" + n + "\"\n")
                    ++failures[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
}

}  // namespace
