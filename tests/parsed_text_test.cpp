#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text/parsed_text.h"

namespace {

TEST(ParsedText, CountByteMatchesAPlainCountAtEveryLengthAndOffset) {
    std::mt19937 random(5);
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "0,1 ,\xAC,"[random() % 8];
    for (std::size_t offset = 0; offset < 9; ++offset) {
        for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 63u, 2040u, 2047u, 2048u, 2049u, 4991u}) {
            const std::string_view piece = std::string_view(text).substr(offset, length);
            std::size_t expected = 0;
            for (char c : piece) expected += c == ',';
            EXPECT_EQ(spatialgeom::countByte(piece, ','), expected) << offset << " " << length;
        }
    }
    const std::string commas(300 * 8 + 5, ',');  // more than 255 words of all-matching lanes
    EXPECT_EQ(spatialgeom::countByte(commas, ','), commas.size());
}

}  // namespace
