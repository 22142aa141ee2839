// The version and help options as users of command-line tools expect them:
// on standard output, status 0, whatever else is on the line.
#include <gtest/gtest.h>

#include <regex>

#include "spatialgeom/version.h"
#include "tool_runner.h"

namespace spatialgeom::tool::testing {
namespace {

TEST(ToolHelp, VersionNamesTheToolAndTheLoadedLibrary) {
    const std::string library = spatialWKB_version();
    EXPECT_TRUE(std::regex_match(library, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << library;
    EXPECT_EQ(spatialWKB_version(), spatialWKB_version());  // one static string
    for (const char* option : {"--version", "-V"}) {
        const ToolRun run = runTool({option});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(run.err, "");
        // The tool is built with the library: both carry the project's version.
        EXPECT_EQ(run.out, "spatialgeom " + library + "\nlibrary: libspatialgeom " + library + "\n");
    }
}

TEST(ToolHelp, EveryCommandPrintsItsUsageOnStandardOutput) {
    for (const std::string command : {"info", "intersects", "transform", "encode", "decode", "join", "svg"}) {
        for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
                 {command, "--help"},
                 {command, "-h"},
                 // Help wins over a line that would be refused or read input.
                 {command, "--bogus", "x", "--help"},
                 {command, "-", "-h"},
             }) {
            const ToolRun run = runTool(arguments, "POINT(1 2 3)\n");
            EXPECT_EQ(run.exitStatus, 0) << command << ": " << run.err;
            EXPECT_EQ(run.err, "") << command;
            EXPECT_EQ(run.out.rfind("Usage: spatialgeom " + command + " ", 0), 0u) << run.out;
        }
    }
    // The overview lists every command and both options.
    const ToolRun overview = runTool({"-h"});
    EXPECT_EQ(overview.exitStatus, 0);
    for (const char* word : {"info", "intersects", "transform", "encode", "decode", "join", "svg", "--version"}) {
        EXPECT_NE(overview.out.find(word), std::string::npos) << word;
    }
    // Without a command the overview is an error, on standard error.
    const ToolRun none = runTool({});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, overview.out);
    EXPECT_EQ(runTool({"frobnicate", "--help"}).exitStatus, 2);
}

}  // namespace
}  // namespace spatialgeom::tool::testing
