// The text-reading exports: the records of accepted texts, the result and
// process-wide message of refused ones, the bytes echoed to standard
// output, and the wide-text conversions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

void* const kUntouched = reinterpret_cast<void*>(0x1234);

std::string lastMessage() { return spatialParse_errorString(); }

TEST(ParseString, AcceptedTextsGiveTheRecordsLaidOutByHand) {
    const DPoint3d a{1, 2, 3}, b{4, 5, 6}, c{7, 8, 9};
    const struct {
        const char* text;
        Record expected;
    } cases[] = {
        {"POINT(1 2 3)", point(a)},
        {"point(1 2 3)", point(a)},
        {"\n POINT\t( -1 2.5 3e+2 )\n", point({-1, 2.5, 300})},
        {"LINESTRING(1 2 3)", line({{a}})},
        {"linestring(1 2 3,4 5 6)", line({{a, b}})},
        {"POLYGON((1 2 3))", polygon({{{a}}})},
        {"POLYGON((1 2 3,4 5 6,7 8 9,1 2 3),(4 5 6,7 8 9,4 5 6))", polygon({{{a, b, c, a}}, {{b, c, b}}})},
        {"MULTIPOINT((1 -2 3.5),(4e+1 5 -6e-1))", multiPoint({{1, -2, 3.5}, {40, 5, -0.6}})},
        {"MULTILINESTRING((1 2 3,4 5 6),(7 8 9))", multiLine({{{a, b}}, {{c}}})},
        // Holes stay with their own polygon.
        {"MULTIPOLYGON(((1 2 3),(4 5 6),(7 8 9)),((4 5 6,7 8 9)),((7 8 9),(1 2 3,4 5 6)))",
         multiPolygon({{{{a}}, {{b}}, {{c}}}, {{{b, c}}}, {{{c}}, {{a, b}}}})},
        {"GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(1 2 3,4 5 6),MULTIPOINT((7 8 9)))",
         collection({point(a), line({{a, b}}), multiPoint({c})})},
        {"geometrycollection(multipolygon(((1 2 3)),((1 2 3),(4 5 6))),point(7 8 9),polygon((1 2 3),(4 5 6)))",
         collection({multiPolygon({{{{a}}}, {{{a}}, {{b}}}}), point(c), polygon({{{a}}, {{b}}})})},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        const std::vector<uint8_t> expected = bytesOf(row.expected.withLibraryPads().data());
        LibraryRecord record;
        EXPECT_EQ(spatialParse_string(row.text, record.out()), 0) << lastMessage();
        EXPECT_EQ(lastMessage(), "");
        EXPECT_EQ(bytesOf(record.get()), expected);
        // The same from wide text, one byte in: no alignment is assumed.
        const std::u16string wide(row.text, row.text + std::strlen(row.text));
        std::vector<uint8_t> buffer(expected.size() + 1);
        const auto size = static_cast<uint32_t>(expected.size());
        ASSERT_EQ(spatialWKB_convertTextToBinary(wide.c_str(), buffer.data() + 1, size), SPATIAL_SUCCESS);
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 1, buffer.end()), expected);
    }
}

TEST(ParseString, RefusesAtTheFirstTokenThatCannotContinue) {
    const struct {
        const char* text;
        const char* token;  // as written
    } cases[] = {
        {"", ""},
        {"POINT(1 2)", ")"},
        {"POINT(1 2 3 4)", "4"},
        {"POINT(1,2,3)", ","},
        {"POINT(1 2 3", ""},
        {"POINT EMPTY", ""},
        {"Point(1 2 3)", "("},
        {"POINT(1 2 3),", ","},
        {"POINT(1 2 3) point(4 5 6)", "point"},
        {"LINESTRING(1 2 3,)", ")"},
        {"LINESTRING(1 2 3 4 5 6)", "4"},
        {"LINESTRING()", ")"},
        {"POLYGON(1 2 3)", "1"},
        {"POLYGON(())", ")"},
        {"POLYGON((1 2 3)(4 5 6))", "("},
        {"MULTIPOINT(1 2 3,4 5 6)", "1"},
        {"MULTIPOINT((1 2 3,4 5 6))", ","},
        {"MULTILINESTRING(1 2 3)", "1"},
        {"MULTIPOLYGON((1 2 3))", "1"},
        {"GEOMETRYCOLLECTION()", ")"},
        {"GEOMETRYCOLLECTION(geometrycollection(POINT(1 2 3)))", "geometrycollection"},
        {"GEOMETRYCOLLECTION(POINT(1 2 3),)", ")"},
        {"GEOMETRYCOLLECTION POINT(1 2 3)", "POINT"},
        {"POINT(--3 1 2)", "--3"},
        {"POINT(1 2 1e+999)", "1e+999"},
        {"POINT(1e999 1 2)", "2"},
    };
    for (const auto& c : cases) {
        void* record = kUntouched;
        testing::internal::CaptureStdout();
        EXPECT_EQ(spatialParse_string(c.text, &record), SPATIAL_PARSE_SYNTAX_ERROR) << c.text;
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(lastMessage(), std::string("parse error, at or near \"") + c.token + "\"\n") << c.text;
        EXPECT_EQ(record, kUntouched);
    }
}

TEST(ParseString, NullArgumentsAndTheMessageAfterASuccess) {
    void* record = kUntouched;
    EXPECT_EQ(spatialParse_string(nullptr, &record), SPATIAL_PARSE_NULL_TEXT);
    EXPECT_EQ(lastMessage(), "");
    EXPECT_EQ(record, kUntouched);
    EXPECT_EQ(spatialParse_string("POINT(1 2)", nullptr), SPATIAL_PARSE_SYNTAX_ERROR);
    // A null record variable fails only an accepted text, which clears the message.
    EXPECT_EQ(spatialParse_string("POINT(1 2 3)", nullptr), static_cast<int32_t>(SPATIAL_FAILURE));
    EXPECT_EQ(lastMessage(), "");
    EXPECT_EQ(spatialParse_uninitialize(), 0);  // both do nothing
    EXPECT_EQ(spatialParse_initialize(), 0);
}

// The message holds at most 127 characters: 25 before the token, 2 after.
TEST(ParseString, LongTokenMessagesAreCutTo127Characters) {
    for (const std::size_t digits : {99u, 100u, 101u, 300u}) {
        const std::string number(digits, '7');
        void* record = nullptr;
        EXPECT_EQ(spatialParse_string(("POINT(1 2 3 " + number + ")").c_str(), &record), SPATIAL_PARSE_SYNTAX_ERROR);
        EXPECT_EQ(lastMessage(), ("parse error, at or near \"" + number + "\"\n").substr(0, 127)) << digits;
    }
}

// Bytes that form no token go to standard output, up to the token the parse
// fails at.
TEST(ParseString, UnmatchedBytesAreEchoedUpToTheFailure) {
    const std::pair<const char*, const char*> cases[] = {{"Point\r(1 2 3);\xe9", "Point\r"},
                                                         {"POINT(1 2 3);\xe9", ";\xe9"},
                                                         {"POINT(1 2);x", ""},
                                                         {"POINT(1 2 #3 4);x", "#"}};
    for (const auto& [text, echoed] : cases) {
        LibraryRecord record;
        testing::internal::CaptureStdout();
        spatialParse_string(text, record.out());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), echoed) << text;
    }
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
    // No text, nowhere to put the answer, a surrogate without its pair.
    const auto noText = static_cast<uint32_t>(SPATIAL_PARSE_NULL_TEXT);
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(nullptr, &size), noText);
    EXPECT_EQ(spatialWKB_convertTextToBinary(nullptr, buffer, 64), noText);
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(u"POINT(1 2 3)", nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_convertTextToBinary(u"POINT(1 2 3)", nullptr, 64), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(unpaired, &size), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_convertTextToBinary(unpaired, buffer, 64), SPATIAL_FAILURE);
    EXPECT_EQ(size, 7u);
}

TEST(WideText, NonAsciiCharactersAreEchoedAsUtf8) {
    uint32_t size = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(spatialWKB_getSizeFromTextGeom(u"POINT(1 2 3) \u00e9\U0001F600", &size), SPATIAL_SUCCESS);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\xc3\xa9\xf0\x9f\x98\x80");
    EXPECT_EQ(size, 40u);
}

}  // namespace
