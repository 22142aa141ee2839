// Running the built spatialgeom binary as a user would: arguments, bytes on
// standard input, and what comes back on both output streams.
#pragma once

#include <string>
#include <vector>

namespace spatialgeom::tool::testing {

struct ToolRun {
    int exitStatus = -1;  // -1 when it could not run; 128 + n when signal n ended it
    std::string out;
    std::string err;
};

// Runs the tool with the arguments (each passed as it is) and input on
// its standard input.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& input = "");

// A run of the tool and what it must give.
struct Expected {
    std::vector<std::string> arguments;
    int exitStatus = 0;
    std::string out{};  // standard output, exactly
    // Standard error is empty with status 0, otherwise not; when messages
    // are given, it is a line holding each, in order, and no other line.
    std::vector<std::string> messages{};
    std::string input{};  // on standard input
};

// Runs each case and checks what it gives; a failure names the case.
void expectRuns(const std::vector<Expected>& cases);

// A file in a fresh temporary directory holding content; removed with the
// directory when the test process ends.
std::string temporaryFile(const std::string& name, const std::string& content);

// The bytes of the file at path; none when it cannot be read.
std::string fileContent(const std::string& path);

// The path of an example file shipped with the project.
std::string examplePath(const std::string& name);

}  // namespace spatialgeom::tool::testing
