#include "tools/input_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/geometry_text.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string readStream(std::FILE* stream, std::string_view name) {
    std::string content;
    char block[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, stream)) > 0) content.append(block, got);
    if (std::ferror(stream)) throw inputError("cannot read " + std::string(name) + ": " + std::strerror(errno));
    return content;
}

}  // namespace

std::string readInput(std::string_view path) {
    if (path == "-") return readStream(stdin, "standard input");
    const std::string name(path);
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "rb"));
    if (!file) throw inputError("cannot open " + name + ": " + std::strerror(errno));
    return readStream(file.get(), name);
}

std::string geometryArgument(std::string_view argument) {
    std::string text = argument == "-" ? readInput("-") : std::string(argument);
    while (!text.empty() && std::strchr(" \t\r\n", text.back()) != nullptr) text.pop_back();
    return text;
}

RecordPtr geometryFromArgument(std::string_view argument) {
    const std::string text = geometryArgument(argument);
    ParsedGeometry parsed = parseGeometry(text);
    if (!parsed.record) {
        const std::string source = argument == "-" ? "standard input" : "'" + text + "'";
        throw inputError("cannot read the geometry " + source + ": " + parsed.error);
    }
    return std::move(parsed.record);
}

}  // namespace spatialgeom::tool
