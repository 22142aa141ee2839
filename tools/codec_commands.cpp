// spatialgeom encode [WKT|-]: the record's bytes on standard output.
// spatialgeom decode [--precision N]: record bytes from standard input,
// checked, then printed as WKT.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "spatialgeom/records.h"
#include "spatialgeom/text.h"
#include "tools/commands.h"
#include "tools/geometry_text.h"
#include "tools/input_text.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {

int runEncode(CommandLine& arguments) {
    const std::string_view source = arguments.done() ? "-" : arguments.takePositional();
    arguments.expectNoMore();
    if (isatty(STDOUT_FILENO) == 1) throw usageError("encode writes binary bytes: redirect standard output");
    const RecordPtr record = geometryFromArgument(source);
    std::uint32_t bytes = 0;
    if (spatialWKB_getSize(record.get(), &bytes) != SPATIAL_SUCCESS) throw inputError("the record has no size");
    std::fwrite(record.get(), 1, bytes, stdout);
    return kExitSuccess;
}

int runDecode(CommandLine& arguments) {
    while (arguments.takeFlag("--precision")) {
        spatialWKT_setPrecision(parsePrecision(arguments.takeValue("--precision")));
    }
    arguments.expectNoMore();
    const std::string bytes = readInput("-");
    if (bytes.empty()) throw inputError("no record on standard input");
    // Records are read in place as words and doubles: 8-byte alignment.
    std::vector<std::uint64_t> aligned((bytes.size() + 7) / 8);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());
    // The library believes every count of a record: check the bytes first.
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size(), UINT32_MAX));
    std::uint32_t size = 0;
    if (spatialWKB_checkRecord(aligned.data(), length) != SPATIAL_SUCCESS) {
        throw inputError("standard input is not a record: its bytes are not well formed");
    }
    spatialWKB_getSize(aligned.data(), &size);
    if (size != bytes.size()) {
        throw inputError("standard input is not a record: " + std::to_string(bytes.size() - size) +
                         " bytes after its end");
    }
    std::puts(writeGeometry(aligned.data()).c_str());
    return kExitSuccess;
}

}  // namespace spatialgeom::tool
