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

// Keyword case, prefixes and runs of keywords without spaces.
const ScanCase kKeywords[] = {
    {"POINT(1 2 3)", "kw:POINT ( n:1 n:2 n:3 )", ""},
    {"Point(1 2 3)", "( n:1 n:2 n:3 )", "Point"},
    {"POINTS", "kw:POINT", "S"},
    {"POIN", "", "POIN"},
    {"LINESTRING linestring POLYGON polygon", "kw:LINESTRING kw:linestring kw:POLYGON kw:polygon", ""},
    {"MULTIPOINTmultipolygonMULTILINESTRING", "kw:MULTIPOINT kw:multipolygon kw:MULTILINESTRING", ""},
    {"GEOMETRYCOLLECTION geometrycollection", "kw:GEOMETRYCOLLECTION kw:geometrycollection", ""},
    {"GEOMETRY EMPTY", "", "GEOMETRYEMPTY"}};
INSTANTIATE_TEST_SUITE_P(Keywords, ScannerTable, testing::ValuesIn(kKeywords));

// Where a number ends.
const ScanCase kNumbers[] = {
    {"1.5e-3", "n:0.0015", ""},   {"1.5E-3", "n:0.0015", ""},  {"1.e+3", "n:1000", ""}, {"-7", "n:-7", ""},
    {"00012", "n:12", ""},        {"1e5", "n:1 n:5", "e"},     {"1e+", "n:1", "e+"},    {"1E-x", "n:1", "E-x"},
    {".5", "n:5", "."},           {"+.5e3", "n:5 n:3", "+.e"}, {"1-2", "n:1 n:-2", ""}, {"1.2.3", "n:1.2 n:3", "."},
    {"12.5e+3x", "n:12500", "x"}, {"1.e-2,", "n:0.01 ,", ""},  {"7.e+", "n:7", "e+"},   {"-0.50)", "n:-0.5 )", ""}};
INSTANTIATE_TEST_SUITE_P(Numbers, ScannerTable, testing::ValuesIn(kNumbers));

// Values strtod cannot give: many minus signs, overflow (from the largest
// double's rounding boundary on). Underflow reads as a signed zero, as
// strtod reads it. The values of other numbers are NumberToken.*'s.
const ScanCase kNumberValues[] = {
    {"--3", "bad:--3", ""},       {"---1.5e+2", "bad:---1.5e+2", ""},
    {"1e+999", "bad:1e+999", ""}, {"1.7976931348623159e+308", "bad:1.7976931348623159e+308", ""},
    {"1e999", "n:1 n:999", "e"},  {"-1e-400", "n:-0", ""}};
INSTANTIATE_TEST_SUITE_P(NumberValues, ScannerTable, testing::ValuesIn(kNumberValues));

const ScanCase kOtherBytes[] = {
    {"", "", ""},       {" \t\n( \r)", "( )", "\r"}, {"\v\f;", "", "\v\f;"}, {"\x80(\xff", "(", "\x80\xff"},
    {"---", "", "---"}, {"--x-1", "n:-1", "--x"},    {"a,b", ",", "ab"}};
INSTANTIATE_TEST_SUITE_P(OtherBytes, ScannerTable, testing::ValuesIn(kOtherBytes));

// A run of minus signs is echoed whole, however long, and ends with the
// view, though more follow it; so does a keyword.
TEST(Scanner, MinusRunsAndKeywordsEndAtTheEndOfTheView) {
    const std::string minus(100000, '-');
    EXPECT_EQ(scanAll(minus + "x").echoed, minus + "x");
    const std::string text("x----1POINT(1");
    const Scanned run = scanAll(std::string_view(text).substr(0, 3));
    EXPECT_EQ(run.tokens, "");
    EXPECT_EQ(run.echoed, "x--");
    EXPECT_EQ(scanAll(std::string_view(text).substr(6, 5)).tokens, "kw:POINT");
}

}  // namespace
}  // namespace spatialgeom
