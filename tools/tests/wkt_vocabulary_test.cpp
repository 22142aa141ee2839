#include "tools/wkt_vocabulary.h"

#include <gtest/gtest.h>

namespace spatialgeom::tool {
namespace {

TEST(WktVocabulary, FindsTheFirstByteNoTokenCovers) {
    struct Case {
        std::string_view text;
        std::optional<std::size_t> offset;
    };
    const Case cases[] = {
        {"POINT(1 2 3)", std::nullopt},
        {"point(1 2 3)", std::nullopt},
        {"multipolygon(((0 0 0,1 0 0,1 1 0,0 0 0)))", std::nullopt},
        {"GEOMETRYCOLLECTION(POINT(1 2 3),\tLINESTRING(0 0 0,1 1 1))\n", std::nullopt},
        {"POINT(1.5e-3 1.e+3 -7)", std::nullopt},
        {"POINT(00012 1E-3 --3)", std::nullopt},  // the parser refuses --3 with a message
        {"1-2", std::nullopt},                    // two numbers
        {"Point(1 2 3)", 0},                      // mixed case is no keyword
        {"POINTS", 5},
        {"POINT(1e5 0 0)", 7},  // an exponent needs its sign
        {"POINT(.5 0 0)", 6},   // a number needs a digit first
        {"POINT(+1 0 0)", 6},
        {"POINT(1 2 3)\r", 12},  // carriage return
        {"POINT(1 2 3);", 12},
        {std::string_view("POINT(1\0 2 3)", 13), 7},
        {"POINT(1 2 \xC3\xA9)", 10},
        {"GEOMETRY(1)", 0},
        {"-", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(firstUnexpectedCharacter(c.text), c.offset) << c.text;
}

TEST(WktVocabulary, DescribesTheCharacterAndItsColumn) {
    EXPECT_EQ(describeUnexpectedCharacter("POINT(1 2 3)x", 12), "unexpected character 'x' at column 13");
    EXPECT_EQ(describeUnexpectedCharacter("\r", 0), "unexpected character \\x0D at column 1");
}

}  // namespace
}  // namespace spatialgeom::tool
