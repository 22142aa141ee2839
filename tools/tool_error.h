// The error every command of the tool throws to end with a message. main()
// prints "spatialgeom: <message>" on standard error and exits with the code.
#pragma once

#include <stdexcept>
#include <string>

namespace spatialgeom::tool {

// Exit statuses of the tool.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitBadInput = 1;  // input refused (all of it, or some lines of a file)
inline constexpr int kExitUsage = 2;     // the command line itself is wrong

class ToolError : public std::runtime_error {
public:
    ToolError(int exitCode, const std::string& message) : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const { return exitCode_; }

private:
    int exitCode_;
};

// A mistake on the command line (exit status 2).
inline ToolError usageError(const std::string& message) { return ToolError(kExitUsage, message); }
// Input that cannot be used (exit status 1).
inline ToolError inputError(const std::string& message) { return ToolError(kExitBadInput, message); }

}  // namespace spatialgeom::tool
