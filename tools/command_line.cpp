#include "tools/command_line.h"

#include <charconv>
#include <cmath>
#include <thread>

#include "tools/tool_error.h"

namespace spatialgeom::tool {

bool CommandLine::takeFlag(std::string_view name) {
    if (done() || peek() != name) return false;
    ++next_;
    return true;
}

std::string_view CommandLine::takeValue(std::string_view option) {
    if (done()) throw usageError(std::string(option) + " needs a value");
    return arguments_[next_++];
}

std::string_view CommandLine::takePositional() {
    const std::string_view argument = peek();
    if (argument.starts_with("--")) throw usageError("unknown option " + std::string(argument));
    ++next_;
    return argument;
}

void CommandLine::expectNoMore() const {
    if (!done()) throw usageError("unexpected argument '" + std::string(peek()) + "'");
}

double parseNumber(std::string_view text, std::string_view option) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        throw usageError(std::string(option) + ": not a number: '" + std::string(text) + "'");
    }
    return value;
}

double parseTolerance(std::string_view text) {
    const double tolerance = parseNumber(text, "--tolerance");
    if (tolerance < 0.0) throw usageError("--tolerance must not be negative");
    return tolerance;
}

std::uint32_t parseCount(std::string_view text, std::string_view option, std::uint32_t minimum, std::uint32_t maximum) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < minimum ||
        value > maximum) {
        throw usageError(std::string(option) + " needs a whole number from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", not '" + std::string(text) + "'");
    }
    return value;
}

std::int32_t parsePrecision(std::string_view text) {
    return static_cast<std::int32_t>(parseCount(text, "--precision", 1, 17));
}

std::vector<double> parseNumberList(std::string_view text, std::size_t count, std::string_view option) {
    std::vector<double> numbers;
    while (true) {
        const std::size_t comma = text.find(',');
        numbers.push_back(parseNumber(text.substr(0, comma), option));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (numbers.size() != count) {
        throw usageError(std::string(option) + " needs " + std::to_string(count) + " numbers separated by commas");
    }
    return numbers;
}

DPoint3d parsePoint(std::string_view text, std::string_view option) {
    const std::vector<double> xyz = parseNumberList(text, 3, option);
    return {xyz[0], xyz[1], xyz[2]};
}

std::uint32_t defaultThreadCount() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : count;
}

}  // namespace spatialgeom::tool
