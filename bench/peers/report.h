// The comparison's table: one row per measure, printed and written as
// Markdown between two marker lines of the results file (the rest of that
// file, such as notes on earlier runs, is kept).
#pragma once

#include <string>
#include <vector>

namespace comparison {

struct Row {
    Row(std::string section_, std::string measure_, std::string unit_, double ours_, std::string peer_, double theirs_,
        double target_ = 0.0, bool lowerIsBetter_ = false, std::string note_ = {})
        : section(std::move(section_)),
          measure(std::move(measure_)),
          unit(std::move(unit_)),
          ours(ours_),
          peer(std::move(peer_)),
          theirs(theirs_),
          target(target_),
          lowerIsBetter(lowerIsBetter_),
          note(std::move(note_)) {}

    std::string section;  // "WKT parse", "Intersection" ...
    std::string measure;  // the data set or workload
    std::string unit;     // of the two figures
    double ours = 0.0;
    std::string peer;  // the peer's name, empty when none
    double theirs = 0.0;
    double target = 0.0;         // the ratio to reach; 0 when there is none
    bool lowerIsBetter = false;  // memory: the ratio is theirs / ours all the same
    std::string note;

    // ours / theirs for rates, theirs / ours for costs: above 1 we are better.
    double ratio() const;
    bool met() const { return target == 0.0 || ratio() >= target; }
};

// One cell of the grid: a workload ("WKT write, 2,000 linestrings of 50"),
// a row (the coordinate shape) and a column (a spelling or a precision),
// with both rates in the workload's unit.
struct GridCell {
    std::string workload;
    std::string unit;  // of the rates: "MB/s", "M vertices/s"
    std::string row;
    std::string column;
    double ours = 0.0;
    double theirs = 0.0;
    double target = 0.0;  // the ratio to reach; 0 when there is none
    // Our rate in the other unit: vertices for the parse, characters of our
    // text for the write (so that a cell's speed can be judged per vertex
    // and per character).
    double oursOther = 0.0;

    double ratio() const { return theirs > 0.0 ? ours / theirs : 0.0; }
    bool met() const { return target == 0.0 || ratio() >= target; }
};

class Report {
public:
    void add(Row row) { rows_.push_back(std::move(row)); }
    void add(GridCell cell) { cells_.push_back(std::move(cell)); }
    void warn(std::string line);
    void print() const;
    // Replaces the generated part of the file at path (or creates it).
    bool write(const std::string& path) const;

private:
    std::string markdown() const;
    std::string gridMarkdown() const;
    // Whether the cell runs at less than half the best rate of its workload
    // in both units: slower than the length of its text explains.
    bool isCliff(const GridCell& cell) const;
    // Below half the best in the workload's unit only.
    bool isSlowInUnit(const GridCell& cell) const;
    std::vector<Row> rows_;
    std::vector<GridCell> cells_;
    std::vector<std::string> warnings_;
};

}  // namespace comparison
