// Reading a command's arguments: options with one value, positional
// arguments, and the numbers and number lists the options carry. Numbers
// are read in the C locale whatever the environment says; every malformed
// argument is a usage error naming the option.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "spatialgeom/types.h"

namespace spatialgeom::tool {

class CommandLine {
public:
    explicit CommandLine(std::span<char* const> arguments) : arguments_(arguments) {}

    bool done() const { return next_ >= arguments_.size(); }
    // The next argument, not consumed.
    std::string_view peek() const { return arguments_[next_]; }
    // True (and consumes it) when the next argument is exactly name.
    bool takeFlag(std::string_view name);
    // The value after the option just taken; usage error when missing.
    std::string_view takeValue(std::string_view option);
    // The next argument as a positional one: "-" and anything not starting
    // with "--" qualify (negative numbers in WKT start with "-" only).
    // Usage error for an unknown option.
    std::string_view takePositional();
    // Usage error when arguments remain.
    void expectNoMore() const;

private:
    std::span<char* const> arguments_;
    std::size_t next_ = 0;
};

// A finite double, the whole text ("1e-3", "-2.5"). Usage error otherwise.
double parseNumber(std::string_view text, std::string_view option);
// A tolerance: a finite number >= 0.
double parseTolerance(std::string_view text);
// A count in [minimum, maximum].
std::uint32_t parseCount(std::string_view text, std::string_view option, std::uint32_t minimum, std::uint32_t maximum);
// --precision: significant digits of written numbers, 1 to 17.
std::int32_t parsePrecision(std::string_view text);
// Exactly `count` numbers separated by commas.
std::vector<double> parseNumberList(std::string_view text, std::size_t count, std::string_view option);
// "X,Y,Z".
DPoint3d parsePoint(std::string_view text, std::string_view option);

// The thread count: --threads N, else the hardware concurrency (at least 1).
std::uint32_t defaultThreadCount();

}  // namespace spatialgeom::tool
