// The version and help options as users of command-line tools expect them:
// on standard output, status 0, whatever else is on the line.
#include <gtest/gtest.h>

#include <sstream>

#include "spatialgeom/version.h"
#include "tool_runner.h"

namespace spatialgeom::tool::testing {
namespace {

// The tool is built with the library: both carry the project's version.
TEST(ToolHelp, VersionNamesTheToolAndTheLoadedLibrary) {
    const std::string library = spatialWKB_version();
    const std::string version = "spatialgeom " + library + "\nlibrary: libspatialgeom " + library + "\n";
    expectRuns({{{"--version"}, 0, version}, {{"-V"}, 0, version}});
}

// The commands named by the build (the manual page gets a section for each).
std::vector<std::string> builtCommands() {
    std::istringstream names(SPATIALGEOM_TOOL_COMMANDS);
    std::vector<std::string> commands;
    for (std::string name; names >> name;) commands.push_back(name);
    return commands;
}

// The overview lists the commands the build knows, and each prints its
// usage.
TEST(ToolHelp, EveryCommandIsListedAndPrintsItsUsageOnStandardOutput) {
    const std::string overview = runTool({"-h"}).out;
    const std::size_t start = overview.find("\nCommands:\n");
    ASSERT_NE(start, std::string::npos) << overview;
    std::vector<std::string> listed;
    std::istringstream lines(overview.substr(start + 11));
    for (std::string line; std::getline(lines, line) && !line.empty();) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        listed.push_back(name);
    }
    EXPECT_EQ(listed, builtCommands()) << "the overview and SPATIALGEOM_TOOL_COMMANDS (tools/CMakeLists.txt) differ";
    for (const std::string& command : builtCommands()) {
        for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
                 // Help wins over a line that would be refused or read input.
                 {command, "--bogus", "x", "--help"},
                 {command, "-", "-h"},
                 {"help", command},
             }) {
            const ToolRun run = runTool(arguments, "POINT(1 2 3)\n");
            EXPECT_EQ(run.exitStatus, 0) << command << ": " << run.err;
            EXPECT_EQ(run.err, "") << command;
            EXPECT_EQ(run.out.rfind("Usage: spatialgeom " + command + " ", 0), 0u) << run.out;
        }
    }
    // An unknown command is an error, help asked or not.
    expectRuns({{{"-h"}, 0, overview}, {{"--help"}, 0, overview}, {{"frobnicate", "--help"}, 2}});
    EXPECT_NE(overview.find("--version"), std::string::npos);
    // Without a command the overview is an error, on standard error.
    const ToolRun none = runTool({});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, overview);
}

}  // namespace
}  // namespace spatialgeom::tool::testing
