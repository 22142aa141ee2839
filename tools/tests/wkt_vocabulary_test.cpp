#include "tools/wkt_vocabulary.h"

#include <gtest/gtest.h>

namespace spatialgeom::tool {
namespace {

// The library's reader decides which bytes are stray (its scanner table
// covers every kind); the tool asks about the whole view, so a NUL byte
// inside it is found. The message of each kind of byte is checked where the
// commands refuse text (tool_commands_test, tool_files_test).
TEST(WktVocabulary, FindsTheFirstByteNoTokenCovers) {
    EXPECT_EQ(firstUnexpectedCharacter("GEOMETRYCOLLECTION(POINT(1 2 3),\tLINESTRING(0 0 0,1 1 1))\n"), std::nullopt);
    EXPECT_EQ(firstUnexpectedCharacter(std::string_view("POINT(1\0 2 3)", 13)), 7u);
}

}  // namespace
}  // namespace spatialgeom::tool
