// GDAL as the tool calls it: its drivers registered on first use, and its
// messages kept from the terminal while the tool works with it, so that a
// failure is told once, in the tool's words, with GDAL's reason.
#pragma once

#include <string>

namespace spatialgeom::tool {

// While alive, GDAL's drivers are registered and its messages on this
// thread are kept, not printed. Scopes nest.
class GdalScope {
public:
    GdalScope();
    ~GdalScope();
    GdalScope(const GdalScope&) = delete;
    GdalScope& operator=(const GdalScope&) = delete;

    // GDAL's latest message on this thread, "" when it gave none.
    std::string lastMessage() const;
};

}  // namespace spatialgeom::tool
