#include "text/wkt_scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "spatialgeom/parse.h"

namespace spatialgeom {
namespace {

std::string describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::kReal: {
            char value[40];
            std::snprintf(value, sizeof value, "n:%.17g", token.value);
            return value;
        }
        case TokenKind::kBadNumber: return "bad:" + std::string(token.text);
        case TokenKind::kLeftParen:
        case TokenKind::kRightParen:
        case TokenKind::kComma: return std::string(token.text);
        default: return "kw:" + std::string(token.text);
    }
}

struct Scanned {
    std::string tokens;  // described, space separated
    std::string echoed;  // what went to standard output
};

// Scans the whole text; checks that the end token is empty and repeats.
Scanned scanAll(std::string_view text) {
    Scanned result;
    testing::internal::CaptureStdout();
    WktScanner scanner(text);
    for (Token token = scanner.next(); token.kind != TokenKind::kEnd; token = scanner.next()) {
        if (!result.tokens.empty()) result.tokens += ' ';
        result.tokens += describe(token);
    }
    const Token again = scanner.next();
    result.echoed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(again.kind, TokenKind::kEnd);
    EXPECT_TRUE(again.text.empty());
    return result;
}

struct ScanCase {
    const char* text;
    const char* tokens;
    const char* echoed;
};

class ScannerTable : public testing::TestWithParam<ScanCase> {};

// The first byte spatialParse_findUnmatchedByte finds is the first byte
// the scanner echoes.
TEST_P(ScannerTable, TokensAndEcho) {
    const ScanCase& c = GetParam();
    const Scanned scanned = scanAll(c.text);
    EXPECT_EQ(scanned.tokens, c.tokens) << "text: " << c.text;
    EXPECT_EQ(scanned.echoed, c.echoed) << "text: " << c.text;
    std::uint64_t offset = 0;
    const std::int32_t found = spatialParse_findUnmatchedByte(c.text, std::strlen(c.text), &offset);
    ASSERT_EQ(found, *c.echoed != '\0' ? 1 : 0) << "text: " << c.text;
    if (found == 1) {
        EXPECT_EQ(c.text[offset], c.echoed[0]) << "text: " << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, ScannerTable,
    testing::Values(
        ScanCase{"POINT(1 2 3)", "kw:POINT ( n:1 n:2 n:3 )", ""},
        ScanCase{"point(1 2 3)", "kw:point ( n:1 n:2 n:3 )", ""}, ScanCase{"Point(1 2 3)", "( n:1 n:2 n:3 )", "Point"},
        ScanCase{"POINTS", "kw:POINT", "S"}, ScanCase{"POIN", "", "POIN"},
        ScanCase{"LINESTRING linestring POLYGON polygon", "kw:LINESTRING kw:linestring kw:POLYGON kw:polygon", ""},
        ScanCase{"MULTIPOINTmultipolygonMULTILINESTRING", "kw:MULTIPOINT kw:multipolygon kw:MULTILINESTRING", ""},
        ScanCase{"GEOMETRYCOLLECTION geometrycollection", "kw:GEOMETRYCOLLECTION kw:geometrycollection", ""},
        ScanCase{"GEOMETRY EMPTY", "", "GEOMETRYEMPTY"}, ScanCase{"MultiPoint", "", "MultiPoint"}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, ScannerTable,
    testing::Values(ScanCase{"1.5e-3", "n:0.0015", ""}, ScanCase{"1.5E-3", "n:0.0015", ""},
                    ScanCase{"1.e+3", "n:1000", ""}, ScanCase{"-7", "n:-7", ""}, ScanCase{"00012", "n:12", ""},
                    ScanCase{"1e5", "n:1 n:5", "e"}, ScanCase{"1e+", "n:1", "e+"}, ScanCase{"1E-x", "n:1", "E-x"},
                    ScanCase{".5", "n:5", "."}, ScanCase{"+.5e3", "n:5 n:3", "+.e"}, ScanCase{"1-2", "n:1 n:-2", ""},
                    ScanCase{"1.2.3", "n:1.2 n:3", "."}, ScanCase{"12.5e+3x", "n:12500", "x"},
                    ScanCase{"1.e-2,", "n:0.01 ,", ""}, ScanCase{"7.e+", "n:7", "e+"},
                    ScanCase{"-0.50)", "n:-0.5 )", ""}, ScanCase{"1234567890.12345678901 ", "n:1234567890.1234567", ""},
                    ScanCase{"0.1", "n:0.10000000000000001", ""}, ScanCase{"5e-324", "n:4.9406564584124654e-324", ""},
                    ScanCase{"1.7976931348623157e+308", "n:1.7976931348623157e+308", ""}));

// Values strtod cannot give: many minus signs, overflow. Underflow reads
// as a signed zero, as strtod reads it.
INSTANTIATE_TEST_SUITE_P(NumberValues, ScannerTable,
                         testing::Values(ScanCase{"--3", "bad:--3", ""}, ScanCase{"---1.5e+2", "bad:---1.5e+2", ""},
                                         ScanCase{"1e+999", "bad:1e+999", ""}, ScanCase{"-1e+309", "bad:-1e+309", ""},
                                         ScanCase{"1.7976931348623159e+308", "bad:1.7976931348623159e+308", ""},
                                         ScanCase{"100000e+304", "bad:100000e+304", ""},
                                         ScanCase{"1e999", "n:1 n:999", "e"}, ScanCase{"1e-400", "n:0", ""},
                                         ScanCase{"-1e-400", "n:-0", ""}, ScanCase{"0.0001e-330", "n:0", ""},
                                         ScanCase{"0.5e+1", "n:5", ""}));

INSTANTIATE_TEST_SUITE_P(OtherBytes, ScannerTable,
                         testing::Values(ScanCase{"", "", ""}, ScanCase{" \t\n( \r)", "( )", "\r"},
                                         ScanCase{"\v\f;", "", "\v\f;"}, ScanCase{"\x80(\xff", "(", "\x80\xff"},
                                         ScanCase{"---", "", "---"}, ScanCase{"--x-1", "n:-1", "--x"},
                                         ScanCase{"a,b", ",", "ab"}));

TEST(Scanner, EndsAtTheEndOfTheView) {
    const std::string text("POINT(1", 7);
    const Scanned scanned = scanAll(std::string_view(text).substr(0, 5));
    EXPECT_EQ(scanned.tokens, "kw:POINT");
    // A run of minus signs ends with the view, though more follow it.
    const std::string minus("x----1");
    const Scanned run = scanAll(std::string_view(minus).substr(0, 3));
    EXPECT_EQ(run.tokens, "");
    EXPECT_EQ(run.echoed, "x--");
}

TEST(Scanner, LongMinusRunIsEchoedWhole) {
    const std::string text(100000, '-');
    const Scanned scanned = scanAll(text + "x");
    EXPECT_EQ(scanned.tokens, "");
    EXPECT_EQ(scanned.echoed, text + "x");
}

}  // namespace
}  // namespace spatialgeom
