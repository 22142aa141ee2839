#include "tools/tool_main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <span>
#include <string_view>

#include "tools/command_help.h"
#include "tools/commands.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

struct Command {
    std::string_view name;
    int (*run)(CommandLine&);
};

constexpr Command kCommands[] = {
    {"info", runInfo},           {"intersects", runIntersects},
    {"transform", runTransform}, {"encode", runEncode},
    {"decode", runDecode},       {"join", runJoin},
    {"nearest", runNearest},     {"svg", runSvg},
    {"convert", runConvert},     {"distance", runDistance},
};

int dispatch(std::span<char* const> arguments) {
    if (arguments.empty()) {
        std::fputs(kOverview, stderr);
        return kExitUsage;
    }
    const std::string_view name = arguments[0];
    if (name == "help" && arguments.size() == 2 && commandUsage(arguments[1]) != nullptr) {
        std::fputs(commandUsage(arguments[1]), stdout);  // "help COMMAND" as "COMMAND --help"
        return kExitSuccess;
    }
    if (name == "help" || name == "--help" || name == "-h") {
        std::fputs(kOverview, stdout);
        return kExitSuccess;
    }
    if (name == "--version" || name == "-V") {
        printVersion();
        return kExitSuccess;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            if (asksForHelp(arguments.subspan(1))) {
                const char* usage = commandUsage(name);
                std::fputs(usage != nullptr ? usage : kOverview, stdout);
                return kExitSuccess;
            }
            CommandLine commandLine(arguments.subspan(1));
            return command.run(commandLine);
        }
    }
    throw usageError("unknown command '" + std::string(name) + "' (see spatialgeom --help)");
}

}  // namespace

int toolMain(int argc, char** argv) {
    int status = kExitSuccess;
    try {
        status = dispatch(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    } catch (const ToolError& error) {
        std::fprintf(stderr, "spatialgeom: %s\n", error.what());
        status = error.exitCode();
    } catch (const std::bad_alloc&) {
        std::fputs("spatialgeom: out of memory\n", stderr);
        status = kExitBadInput;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "spatialgeom: %s\n", error.what());
        status = kExitBadInput;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "spatialgeom: cannot write standard output: %s\n", std::strerror(errno));
        status = kExitBadInput;
    }
    return status;
}

}  // namespace spatialgeom::tool
