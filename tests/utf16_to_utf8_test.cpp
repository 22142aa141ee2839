#include "text/utf16_to_utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16ToUtf8, EncodesEveryLength) {
    struct Case {
        const char16_t* wide;
        const char* narrow;
    } const cases[] = {
        {u"", ""},
        // Each length's first and last code points.
        {u"\u007f\u0080\u00e9\u07ff", "\x7f\xc2\x80\xc3\xa9\xdf\xbf"},
        {u"\u0800\u20ac\uffff", "\xe0\xa0\x80\xe2\x82\xac\xef\xbf\xbf"},
        {u"\U00010000a\U0001F600b\U0010FFFF",
         "\xf0\x90\x80\x80"
         "a\xf0\x9f\x98\x80"
         "b\xf4\x8f\xbf\xbf"},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        ASSERT_TRUE(spatialgeom::utf16ToUtf8(c.wide, &out)) << c.narrow;
        EXPECT_EQ(out, c.narrow);
    }
}

TEST(Utf16ToUtf8, RefusesUnpairedSurrogates) {
    const char16_t highAtEnd[] = {u'P', 0xD83D, 0};
    const char16_t highThenLetter[] = {0xD83D, u'x', 0};
    const char16_t twoHighs[] = {0xD83D, 0xD83D, 0xDE00, 0};
    const char16_t lowAlone[] = {u'x', 0xDE00, 0};
    for (const char16_t* text : {highAtEnd, highThenLetter, twoHighs, lowAlone}) {
        std::string out;
        EXPECT_FALSE(spatialgeom::utf16ToUtf8(text, &out));
    }
}

}  // namespace
