// Running the built spatialgeom binary as a user would: arguments, bytes on
// standard input, and what comes back on both output streams.
#pragma once

#include <string>
#include <vector>

namespace spatialgeom::tool::testing {

struct ToolRun {
    int exitStatus = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs the tool with the arguments (no shell involved) and input on its
// standard input.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& input = "");

// A file in a fresh temporary directory holding content; removed with the
// directory when the test process ends.
std::string temporaryFile(const std::string& name, const std::string& content);

// The bytes of the file at path; none when it cannot be read.
std::string fileContent(const std::string& path);

// The path of an example file shipped with the project.
std::string examplePath(const std::string& name);

}  // namespace spatialgeom::tool::testing
