#include "text/wkt_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace spatialgeom {
namespace {

std::string joined(std::span<const std::size_t> lengths) {
    std::string text;
    for (const std::size_t length : lengths) text += (text.empty() ? "" : ",") + std::to_string(length);
    return text;
}

// "type vN rA,B gC,D" per geometry, " | " between collection members.
std::string summary(const ParsedText& parsed) {
    std::string text = parsed.isCollection ? "collection " : "";
    for (std::size_t i = 0; i < parsed.shapes.size(); ++i) {
        const ShapeParts parts = parsed.shapeParts(i);
        if (i > 0) text += " | ";
        text += std::to_string(parts.type) + " v" + std::to_string(parts.vertices.size());
        if (!parts.runLengths.empty()) text += " r" + joined(parts.runLengths);
        if (!parts.groupLengths.empty()) text += " g" + joined(parts.groupLengths);
    }
    return text;
}

struct Outcome {
    int result = -1;
    std::string shapes;
    std::string message;
    std::string echoed;
};

Outcome parse(std::string_view text) {
    Outcome outcome;
    ParsedText parsed;
    ParseMessage message{};
    message[0] = '?';  // must stay untouched on success
    testing::internal::CaptureStdout();
    outcome.result = parseWkt(text, &parsed, &message);
    outcome.echoed = testing::internal::GetCapturedStdout();
    outcome.message = std::string(message.data(), strnlen(message.data(), message.size()));
    if (outcome.result == kParseAccepted) outcome.shapes = summary(parsed);
    return outcome;
}

struct AcceptCase {
    const char* text;
    const char* shapes;
};

class Accepted : public testing::TestWithParam<AcceptCase> {};

TEST_P(Accepted, CollectsTheGeometries) {
    const Outcome outcome = parse(GetParam().text);
    EXPECT_EQ(outcome.result, kParseAccepted) << GetParam().text << ": " << outcome.message;
    EXPECT_EQ(outcome.shapes, GetParam().shapes) << GetParam().text;
    EXPECT_EQ(outcome.message, "?");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Accepted,
    testing::Values(
        AcceptCase{"POINT(1 2 3)", "1 v1"}, AcceptCase{"point(1 2 3)", "1 v1"}, AcceptCase{"POINT (1 2 3)", "1 v1"},
        AcceptCase{"\n POINT\t( -1 2.5 3e+2 )\n", "1 v1"}, AcceptCase{"LINESTRING(1 2 3)", "2 v1 r1"},
        AcceptCase{"linestring(0 0 0,1 1 1)", "2 v2 r2"}, AcceptCase{"POLYGON((1 2 3))", "3 v1 r1"},
        AcceptCase{"POLYGON((0 0 0,4 0 0,4 4 0,0 0 0),(1 1 0,2 1 0,2 2 0,1 2 0,1 1 0))", "3 v9 r4,5"},
        AcceptCase{"MULTIPOINT((1 2 3),(4 5 6))", "4 v2"},
        AcceptCase{"MULTILINESTRING((1 2 3,4 5 6),(7 8 9))", "5 v3 r2,1"},
        AcceptCase{"MULTIPOLYGON(((0 0 0,1 0 0,1 1 0,0 0 0)),"
                   "((5 5 0,9 5 0,9 9 0,5 5 0),(6 6 0,7 6 0,7 7 0,6 6 0)))",
                   "6 v12 r4,4,4 g1,2"},
        AcceptCase{"GEOMETRYCOLLECTION(POINT(1 2 3),LINESTRING(1 2 3,4 5 6))", "collection 1 v1 | 2 v2 r2"},
        AcceptCase{"geometrycollection(multipolygon(((1 2 3)),((1 2 3),(4 5 6))),point(0 0 0),"
                   "polygon((1 1 1),(2 2 2)))",
                   "collection 6 v3 r1,1,1 g1,2 | 1 v1 | 3 v2 r1,1"}));

struct RejectCase {
    const char* text;
    const char* token;  // the token the parse fails at, as written
};

class Rejected : public testing::TestWithParam<RejectCase> {};

TEST_P(Rejected, FailsAtTheFirstTokenThatCannotContinue) {
    const Outcome outcome = parse(GetParam().text);
    EXPECT_EQ(outcome.result, kParseSyntaxError) << GetParam().text;
    EXPECT_EQ(outcome.message, std::string("parse error, at or near \"") + GetParam().token + "\"\n")
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Rejected,
    testing::Values(RejectCase{"", ""}, RejectCase{"POINT(1 2)", ")"}, RejectCase{"POINT(1 2 3 4)", "4"},
                    RejectCase{"POINT(1,2,3)", ","}, RejectCase{"POINT(1 2 3", ""},
                    RejectCase{"POINT EMPTY", ""}, RejectCase{"Point(1 2 3)", "("},
                    RejectCase{"(1 2 3)", "("}, RejectCase{"POINT(1 2 3),", ","},
                    RejectCase{"POINT(1 2 3)1", "1"}, RejectCase{"POINT(1 2 3) point(4 5 6)", "point"},
                    RejectCase{"LINESTRING(1 2 3,)", ")"}, RejectCase{"LINESTRING(1 2 3 4 5 6)", "4"},
                    RejectCase{"LINESTRING()", ")"}, RejectCase{"POLYGON(1 2 3)", "1"},
                    RejectCase{"POLYGON(())", ")"}, RejectCase{"POLYGON((1 2 3)(4 5 6))", "("},
                    RejectCase{"MULTIPOINT(1 2 3,4 5 6)", "1"}, RejectCase{"MULTIPOINT((1 2 3,4 5 6))", ","},
                    RejectCase{"MULTILINESTRING(1 2 3)", "1"}, RejectCase{"MULTIPOLYGON((1 2 3))", "1"},
                    RejectCase{"MULTIPOLYGON(((1 2 3))", ""}, RejectCase{"GEOMETRYCOLLECTION()", ")"},
                    RejectCase{"GEOMETRYCOLLECTION(geometrycollection(POINT(1 2 3)))", "geometrycollection"},
                    RejectCase{"GEOMETRYCOLLECTION(POINT(1 2 3),)", ")"},
                    RejectCase{"GEOMETRYCOLLECTION POINT(1 2 3)", "POINT"},
                    RejectCase{"POINT(--3 1 2)", "--3"}, RejectCase{"POINT(1 2 1e+999)", "1e+999"},
                    RejectCase{"POINT(1e999 1 2)", "2"}));

TEST(Parser, EchoStopsAtTheFailingToken) {
    EXPECT_EQ(parse("POINT(1 2 3);x").echoed, ";x");
    EXPECT_EQ(parse("POINT(1 2);x").echoed, "");
    EXPECT_EQ(parse("POINT(1 2 #3 4);x").echoed, "#");
}

// The message holds at most 127 characters: 25 before the token, 2 after.
TEST(Parser, LongTokenMessagesAreCutTo127Characters) {
    for (const std::size_t digits : {99u, 100u, 101u, 300u}) {
        const std::string number(digits, '7');
        const Outcome outcome = parse("POINT(1 2 3 " + number + ")");
        const std::string full = "parse error, at or near \"" + number + "\"\n";
        EXPECT_EQ(outcome.message, full.substr(0, 127)) << digits;
    }
}

TEST(Parser, VerticesKeepTheirValuesAndOrder) {
    ParsedText parsed;
    ParseMessage message{};
    ASSERT_EQ(parseWkt("MULTIPOINT((1 -2 3.5),(4e+1 5 -6e-1))", &parsed, &message), kParseAccepted);
    std::vector<double> coordinates;
    for (const DPoint3d& v : parsed.vertices) coordinates.insert(coordinates.end(), {v.x, v.y, v.z});
    EXPECT_EQ(coordinates, (std::vector<double>{1, -2, 3.5, 40, 5, -0.6}));
}

}  // namespace
}  // namespace spatialgeom
