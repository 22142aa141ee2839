#include "comparison_data.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>

namespace comparison {
namespace {

constexpr std::uint32_t kSeed = 20261206;

// Coordinates of surveyed data: six decimals on six integer digits in plan,
// three decimals in height, so numbers have varied lengths.
class Coordinates {
public:
    explicit Coordinates(std::uint32_t seed) : random_(seed) {}
    double plan() { return std::round(plan_(random_) * 1e6) / 1e6; }
    double height() { return std::round(height_(random_) * 1e3) / 1e3; }
    double step() { return std::round(step_(random_) * 1e6) / 1e6; }
    std::mt19937& random() { return random_; }

private:
    std::mt19937 random_;
    std::uniform_real_distribution<double> plan_{0.0, 999999.0};
    std::uniform_real_distribution<double> height_{0.0, 3000.0};
    std::uniform_real_distribution<double> step_{-50.0, 50.0};
};

void appendVertex(const DPoint3d& v, std::string* text) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.6f %.6f %.3f", v.x, v.y, v.z);
    *text += buffer;
}

void appendRing(const Ring& ring, std::string* text) {
    *text += '(';
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (i > 0) *text += ',';
        appendVertex(ring[i], text);
    }
    *text += ')';
}

TextSet points(Coordinates& c) {
    TextSet set{"200,000 points", {}, 0};
    for (int i = 0; i < 200000; ++i) {
        std::string text = "POINT (";
        appendVertex({c.plan(), c.plan(), c.height()}, &text);
        set.texts.push_back(text + ')');
        ++set.vertexCount;
    }
    return set;
}

TextSet lines(Coordinates& c) {
    TextSet set{"20,000 linestrings of 50", {}, 0};
    for (int i = 0; i < 20000; ++i) {
        Ring line{{c.plan(), c.plan(), c.height()}};
        while (line.size() < 50) {
            const DPoint3d& last = line.back();
            line.push_back({last.x + c.step(), last.y + c.step(), c.height()});
        }
        std::string text = "LINESTRING ";
        appendRing(line, &text);
        set.texts.push_back(std::move(text));
        set.vertexCount += line.size();
    }
    return set;
}

// A closed ring of n vertices (the last repeats the first) around center,
// counter-clockwise unless clockwise is set.
Ring circle(const DPoint3d& center, double radius, int n, bool clockwise, double wave = 0.0, int waves = 0) {
    Ring ring;
    for (int i = 0; i < n - 1; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / (n - 1) * (clockwise ? -1.0 : 1.0);
        const double r = radius * (1.0 + wave * std::sin(waves * angle));
        ring.push_back({center.x + r * std::cos(angle), center.y + r * std::sin(angle), center.z});
    }
    ring.push_back(ring.front());
    return ring;
}

// Crossing number of (x, y) against a closed ring: brute force, for
// classifying generated points.
bool insideRing(const Ring& ring, double x, double y) {
    bool inside = false;
    for (std::size_t i = 1; i < ring.size(); ++i) {
        const DPoint3d& a = ring[i - 1];
        const DPoint3d& b = ring[i];
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    }
    return inside;
}

constexpr DPoint3d kCenter{500000.0, 300000.0, 0.0};
constexpr double kRadius = 1000.0;

// The polygon every workload tests against: 1,000 vertices, radius varying
// by 10% in 25 waves, so its box holds many points outside it.
Polygon wavyPolygon() { return {{circle(kCenter, kRadius, 1000, false, 0.1, 25)}}; }

// Points of the wavy polygon's box, inside or outside it as asked.
Ring pointsOfBox(const Polygon& wavy, std::size_t count, bool inside, std::mt19937& random) {
    std::uniform_real_distribution<double> offset(-1.1 * kRadius, 1.1 * kRadius);
    Ring points;
    while (points.size() < count) {
        const DPoint3d p{kCenter.x + offset(random), kCenter.y + offset(random), 0.0};
        if (insideRing(wavy.rings[0], p.x, p.y) == inside) points.push_back(p);
    }
    return points;
}

Workload pointWorkload(std::mt19937& random) {
    Workload w{"point vs polygon (1,000 vertices, half inside)", Workload::Kind::kPoint, wavyPolygon(), {}, {}, {}, {}};
    const Ring inside = pointsOfBox(w.target, 500, true, random);
    const Ring outside = pointsOfBox(w.target, 500, false, random);
    for (std::size_t i = 0; i < inside.size(); ++i) {
        w.points.push_back({inside[i]});
        w.expected.push_back(true);
        w.points.push_back({outside[i]});
        w.expected.push_back(false);
    }
    return w;
}

// A 1,000-vertex arc just outside the wavy polygon, around 7/8 of it; the
// crossing variant ends at the polygon's centre.
Ring arc(bool crossing) {
    Ring line;
    for (int i = 0; i < 1000; ++i) {
        const double angle = 1.75 * std::numbers::pi * i / 999;
        line.push_back(
            {kCenter.x + 1.12 * kRadius * std::cos(angle), kCenter.y + 1.12 * kRadius * std::sin(angle), 0.0});
    }
    if (crossing) line.back() = kCenter;
    return line;
}

Workload lineWorkload(bool crossing) {
    Workload w{crossing ? "linestring vs polygon, crossing" : "linestring vs polygon, near miss",
               Workload::Kind::kLine,
               wavyPolygon(),
               {},
               {arc(crossing)},
               {},
               {crossing}};
    return w;
}

Workload polygonWorkload(bool overlapping) {
    Workload w{overlapping ? "polygon vs polygon, overlapping" : "polygon vs polygon, disjoint but close",
               Workload::Kind::kPolygon,
               wavyPolygon(),
               {},
               {},
               {},
               {overlapping}};
    if (overlapping) {
        const DPoint3d shifted{kCenter.x + kRadius, kCenter.y + 0.3 * kRadius, 0.0};
        w.polygons.push_back({{circle(shifted, kRadius, 1000, false, 0.1, 25)}});
    } else {
        // An annulus whose hole holds the wavy polygon 0.5% of its radius away.
        w.polygons.push_back(
            {{circle(kCenter, 2.0 * kRadius, 500, false), circle(kCenter, 1.105 * kRadius, 500, true)}});
    }
    return w;
}

Workload multiPointWorkload(std::mt19937& random) {
    Workload w{
        "multipoint (10,000) vs polygon, none inside", Workload::Kind::kMultiPoint, wavyPolygon(), {}, {}, {}, {false}};
    w.points.push_back(pointsOfBox(w.target, 10000, false, random));
    return w;
}

// ---- The join's data.

// A planar vertex as the join's texts write it: 6 decimals, z = 0.
void appendPlanarRing(const Ring& ring, std::string* text) {
    char buffer[64];
    *text += '(';
    for (std::size_t i = 0; i < ring.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%.6f %.6f 0", i > 0 ? ", " : "", ring[i].x, ring[i].y);
        *text += buffer;
    }
    *text += ')';
}

// ---- The grid's data.

// Numbers of one shape: plan() for x and y, height() for z.
class ShapeCoordinates {
public:
    ShapeCoordinates(Shape shape, std::uint32_t seed) : shape_(shape), random_(seed) {}

    DPoint3d vertex() { return {number(999999.0), number(999999.0), number(3000.0)}; }

private:
    double uniform(double top) { return std::uniform_real_distribution<double>(0.0, top)(random_); }
    int integer(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // A number of the shape below top (mixed: any magnitude).
    double number(double top) {
        switch (shape_) {
            case Shape::kSurveyed: return surveyed(top);
            case Shape::kFull: return uniform(top);
            case Shape::kIntegers: return std::floor(uniform(top));
            case Shape::kDecimals: return decimal(uniform(top), integer(1, 3));
            case Shape::kMixed: return mixed();
            case Shape::kNegative: return -surveyed(top);
        }
        return 0.0;
    }
    double surveyed(double top) { return decimal(uniform(top), top > 10000.0 ? 6 : 3); }
    // The nearest double of the decimal of `decimals` decimals nearest x.
    static double decimal(double x, int decimals) {
        const double scale = std::pow(10.0, decimals);
        return std::round(x * scale) / scale;
    }
    // 7 significant digits times 10^e, e in [-5, 12]: the double nearest
    // the decimal, as a reader makes it.
    double mixed() {
        const long digits = std::lround(std::uniform_real_distribution<double>(1e6, 1e7 - 1)(random_));
        char text[40];
        std::snprintf(text, sizeof text, "%lde%d", digits, integer(-5, 12) - 6);
        return std::strtod(text, nullptr);
    }

    Shape shape_;
    std::mt19937 random_;
};

// A closed ring of n vertices.
Ring closedRing(ShapeCoordinates& c, int n) {
    Ring ring;
    for (int i = 0; i < n - 1; ++i) ring.push_back(c.vertex());
    ring.push_back(ring.front());
    return ring;
}

// A number as the spelling writes it.
void appendNumber(double value, Spelling spelling, std::string* text) {
    char buffer[64];
    char* end = buffer;
    switch (spelling) {
        case Spelling::kUpper:
        case Spelling::kLower: end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr; break;
        case Spelling::kSeventeenDigits: end = buffer + std::snprintf(buffer, sizeof buffer, "%.17g", value); break;
        case Spelling::kExponent:
            end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
            break;
    }
    text->append(buffer, end);
}

// Punctuation of a spelling: ", " or ",", and the keywords' case.
struct Punctuation {
    bool upper;
    const char* comma;
};

Punctuation punctuation(Spelling spelling) {
    return spelling == Spelling::kUpper ? Punctuation{true, ", "} : Punctuation{false, ","};
}

void appendGridRing(const Ring& ring, Spelling spelling, std::string* text) {
    *text += '(';
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (i > 0) *text += punctuation(spelling).comma;
        appendNumber(ring[i].x, spelling, text);
        *text += ' ';
        appendNumber(ring[i].y, spelling, text);
        *text += ' ';
        appendNumber(ring[i].z, spelling, text);
    }
    *text += ')';
}

std::string gridText(const GridGeometry& geometry, GridKind kind, Spelling spelling) {
    const Punctuation p = punctuation(spelling);
    std::string text;
    switch (kind) {
        case GridKind::kPoints: text = p.upper ? "POINT " : "point"; break;
        case GridKind::kLines: text = p.upper ? "LINESTRING " : "linestring"; break;
        case GridKind::kMultiPolygon: text = p.upper ? "MULTIPOLYGON (" : "multipolygon("; break;
    }
    for (std::size_t i = 0; i < geometry.polygons.size(); ++i) {
        const std::vector<Ring>& rings = geometry.polygons[i];
        if (kind == GridKind::kMultiPolygon) {
            if (i > 0) text += p.comma;
            text += '(';
        }
        for (std::size_t r = 0; r < rings.size(); ++r) {
            if (r > 0) text += p.comma;
            appendGridRing(rings[r], spelling, &text);
        }
        if (kind == GridKind::kMultiPolygon) text += ')';
    }
    if (kind == GridKind::kMultiPolygon) text += ')';
    return text;
}

}  // namespace

const char* kindName(GridKind kind) {
    switch (kind) {
        case GridKind::kPoints: return "20,000 points";
        case GridKind::kLines: return "2,000 linestrings of 50";
        case GridKind::kMultiPolygon: return "1 multipolygon of 200 x 100";
    }
    return "";
}

const char* shapeName(Shape shape) {
    switch (shape) {
        case Shape::kSurveyed: return "surveyed";
        case Shape::kFull: return "full";
        case Shape::kIntegers: return "integers";
        case Shape::kDecimals: return "decimals";
        case Shape::kMixed: return "mixed";
        case Shape::kNegative: return "negative";
    }
    return "";
}

const char* spellingName(Spelling spelling) {
    switch (spelling) {
        case Spelling::kUpper: return "upper";
        case Spelling::kLower: return "lower";
        case Spelling::kSeventeenDigits: return "17 digits";
        case Spelling::kExponent: return "exponent";
    }
    return "";
}

GridData gridData(GridKind kind, Shape shape, std::size_t divisor) {
    ShapeCoordinates c(shape, kSeed + 100 + 10 * static_cast<std::uint32_t>(kind) + static_cast<std::uint32_t>(shape));
    GridData data{kind, shape, {}, 0};
    const auto add = [&](GridGeometry geometry) {
        for (const std::vector<Ring>& rings : geometry.polygons)
            for (const Ring& ring : rings) data.vertexCount += ring.size();
        data.geometries.push_back(std::move(geometry));
    };
    switch (kind) {
        case GridKind::kPoints:
            for (std::size_t i = 0; i < 20000 / divisor; ++i) {
                GridGeometry point;
                point.polygons.push_back({Ring{c.vertex()}});
                add(std::move(point));
            }
            break;
        case GridKind::kLines:
            for (std::size_t i = 0; i < 2000 / divisor; ++i) {
                Ring line;
                for (int v = 0; v < 50; ++v) line.push_back(c.vertex());
                GridGeometry geometry;
                geometry.polygons.push_back({std::move(line)});
                add(std::move(geometry));
            }
            break;
        case GridKind::kMultiPolygon: {
            GridGeometry multi;
            for (std::size_t i = 0; i < 200 / divisor; ++i) {
                std::vector<Ring> rings{closedRing(c, 100)};
                if (i % 5 == 0) rings.push_back(closedRing(c, 20));
                multi.polygons.push_back(std::move(rings));
            }
            add(std::move(multi));
            break;
        }
    }
    return data;
}

std::vector<std::string> gridTexts(const GridData& data, Spelling spelling) {
    std::vector<std::string> texts;
    for (const GridGeometry& geometry : data.geometries) texts.push_back(gridText(geometry, data.kind, spelling));
    return texts;
}

JoinList joinList(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(kSeed + 1000 + seed);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const double side = 2.0 * std::sqrt(static_cast<double>(count));
    JoinList list;
    for (std::size_t k = 0; k < count; ++k) {
        const DPoint3d at{400000.0 + uniform(0.0, side), 300000.0 + uniform(0.0, side), 0.0};
        const int kind = between(0, 2);
        std::vector<Ring> rings;
        std::string text;
        if (between(0, 999) == 0) {
            text = "POLYGON (";
            rings.push_back(circle(at, 8.0, 501, false, 0.1, 9));
        } else if (kind == 0) {
            text = "POLYGON (";
            const double radius = uniform(0.3, 1.0);
            rings.push_back(circle(at, radius, between(7, 41), false, 0.2, between(2, 5)));
            if (between(0, 2) == 0) rings.push_back(circle(at, 0.4 * radius, between(5, 13), true));
        } else if (kind == 1) {
            text = "LINESTRING ";
            Ring line{at};
            for (int n = between(5, 60); static_cast<int>(line.size()) < n;)
                line.push_back({line.back().x + uniform(-0.4, 0.4), line.back().y + uniform(-0.4, 0.4), 0.0});
            rings.push_back(std::move(line));
        } else {
            text = "POINT ";
            rings.push_back({at});
        }
        for (std::size_t r = 0; r < rings.size(); ++r) {
            if (r > 0) text += ", ";
            appendPlanarRing(rings[r], &text);
            list.vertexCount += rings[r].size();
        }
        if (text.starts_with("POLYGON")) text += ')';
        list.texts.push_back(std::move(text));
    }
    return list;
}

std::size_t TextSet::bytes() const {
    std::size_t total = 0;
    for (const std::string& text : texts) total += text.size();
    return total;
}

std::vector<TextSet> textSets() {
    Coordinates c(kSeed);
    std::vector<TextSet> sets;
    sets.push_back(points(c));
    sets.push_back(lines(c));
    sets.push_back(largeMultiPolygon());
    return sets;
}

TextSet largeMultiPolygon() {
    Coordinates c(kSeed + 1);
    TextSet set{"1 multipolygon of 2,000 x 100", {"MULTIPOLYGON ("}, 0};
    std::string& text = set.texts.front();
    for (int i = 0; i < 2000; ++i) {
        const DPoint3d center{c.plan(), c.plan(), c.height()};
        Polygon polygon{{circle(center, 40.0 + std::fabs(c.step()), 100, false, 0.2, 7)}};
        if (i % 5 == 0) polygon.rings.push_back(circle(center, 10.0, 20, true));
        if (i > 0) text += ',';
        text += '(';
        for (std::size_t r = 0; r < polygon.rings.size(); ++r) {
            if (r > 0) text += ',';
            appendRing(polygon.rings[r], &text);
            set.vertexCount += polygon.rings[r].size();
        }
        text += ')';
    }
    text += ')';
    return set;
}

std::vector<Workload> workloads() {
    std::mt19937 random(kSeed + 2);
    std::vector<Workload> all;
    all.push_back(pointWorkload(random));
    all.push_back(lineWorkload(true));
    all.push_back(lineWorkload(false));
    all.push_back(polygonWorkload(true));
    all.push_back(polygonWorkload(false));
    all.push_back(multiPointWorkload(random));
    return all;
}

}  // namespace comparison
