// A command's output file (--output FILE): written under a temporary name
// in the same directory and renamed to FILE only when the command has
// written all of it, so that FILE never holds a partial result. A run that
// fails, throws or is interrupted (SIGINT, SIGTERM, SIGHUP) removes the
// temporary file and leaves any earlier FILE as it was. Without a path (or
// with "-") the output is standard output.
#pragma once

#include <cstdio>
#include <string>

namespace spatialgeom::tool {

class OutputFile {
public:
    // Creates the temporary file (mode 0666 less the umask, like a plain
    // file); an input error (exit status 1) when it cannot.
    explicit OutputFile(std::string path);
    // Removes the temporary file unless commit() succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::FILE* stream() const { return stream_; }
    // Flushes, syncs and closes the temporary file and renames it to the
    // path. Any write error is an input error naming the file; the
    // temporary file is then removed. Standard output is only flushed.
    void commit();

private:
    void discard();

    std::string path_;
    std::string temporaryPath_;
    std::FILE* stream_ = stdout;
};

}  // namespace spatialgeom::tool
