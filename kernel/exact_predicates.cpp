#include "kernel/exact_predicates.h"

#include <cmath>

namespace spatialgeom::kernel {
namespace {

constexpr double kEpsilon = 0x1p-53;  // half an ulp of 1
// Error bounds of the plain evaluations (Shewchuk's A bounds).
constexpr double kOrient2dBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
constexpr double kOrient3dBound = (7.0 + 56.0 * kEpsilon) * kEpsilon;

int signOf(double v) { return (v > 0.0) - (v < 0.0); }

// x + y == a + b exactly, x = fl(a + b).
void twoSum(double a, double b, double& x, double& y) {
    x = a + b;
    const double bVirtual = x - a;
    const double aVirtual = x - bVirtual;
    y = (a - aVirtual) + (b - bVirtual);
}

// x + y == a * b exactly (no underflow), x = fl(a * b).
void twoProduct(double a, double b, double& x, double& y) {
    x = a * b;
    y = std::fma(a, b, -x);
}

// An exact value a - b held as two doubles (high part first).
struct Difference {
    double part[2];
};

Difference exactDifference(double a, double b) {
    Difference d;
    twoSum(a, -b, d.part[0], d.part[1]);
    return d;
}

// A sum of non-overlapping doubles in increasing magnitude, zeros dropped:
// its sign is the sign of its last component.
template <int Capacity>
class Expansion {
public:
    // Adds v exactly (Shewchuk's Grow-Expansion with zero elimination).
    void add(double v) {
        double carry = v;
        int kept = 0;
        for (int i = 0; i < size_; ++i) {
            double low;
            twoSum(carry, component_[i], carry, low);
            if (low != 0.0) component_[kept++] = low;
        }
        if (carry != 0.0 || kept == 0) component_[kept++] = carry;
        size_ = kept;
    }
    // Adds sign * (x * y) exactly, x and y given as expansions.
    template <int N, int M>
    void addProduct(const double (&x)[N], int xSize, const double (&y)[M], int ySize, double sign) {
        for (int i = 0; i < xSize; ++i) {
            for (int j = 0; j < ySize; ++j) {
                double high, low;
                twoProduct(sign * x[i], y[j], high, low);
                add(low);
                add(high);
            }
        }
    }
    int sign() const { return size_ == 0 ? 0 : signOf(component_[size_ - 1]); }
    const double (&components() const)[Capacity] { return component_; }
    int size() const { return size_; }

private:
    double component_[Capacity] = {};
    int size_ = 0;
};

// p * q - r * s exactly, each factor an exact difference.
Expansion<16> exactMinor(const Difference& p, const Difference& q, const Difference& r, const Difference& s) {
    Expansion<16> minor;
    minor.addProduct(p.part, 2, q.part, 2, 1.0);
    minor.addProduct(r.part, 2, s.part, 2, -1.0);
    return minor;
}

int orient2dExact(double ax, double ay, double bx, double by, double cx, double cy) {
    return exactMinor(exactDifference(ax, cx), exactDifference(by, cy), exactDifference(ay, cy),
                      exactDifference(bx, cx))
        .sign();
}

int orient3dExact(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c, const DPoint3d& d) {
    const Difference adx = exactDifference(a.x, d.x), ady = exactDifference(a.y, d.y), adz = exactDifference(a.z, d.z);
    const Difference bdx = exactDifference(b.x, d.x), bdy = exactDifference(b.y, d.y), bdz = exactDifference(b.z, d.z);
    const Difference cdx = exactDifference(c.x, d.x), cdy = exactDifference(c.y, d.y), cdz = exactDifference(c.z, d.z);
    // adz (bdx cdy - cdx bdy) + bdz (cdx ady - adx cdy) + cdz (adx bdy - bdx ady)
    const Expansion<16> minors[3] = {exactMinor(bdx, cdy, cdx, bdy), exactMinor(cdx, ady, adx, cdy),
                                     exactMinor(adx, bdy, bdx, ady)};
    const Difference* heights[3] = {&adz, &bdz, &cdz};
    Expansion<3 * 2 * 16 * 2> det;
    for (int i = 0; i < 3; ++i) det.addProduct(heights[i]->part, 2, minors[i].components(), minors[i].size(), 1.0);
    return det.sign();
}

}  // namespace

int orient2d(double ax, double ay, double bx, double by, double cx, double cy) {
    const double left = (ax - cx) * (by - cy);
    const double right = (ay - cy) * (bx - cx);
    const double det = left - right;
    // Products of opposite signs (or a zero one) cannot cancel: the sign of
    // det is already exact. A zero product means a zero difference.
    if (left == 0.0 || right == 0.0 || (left > 0.0) != (right > 0.0)) return signOf(det);
    if (std::fabs(det) > kOrient2dBound * (std::fabs(left) + std::fabs(right))) return signOf(det);
    return orient2dExact(ax, ay, bx, by, cx, cy);
}

int orient3d(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c, const DPoint3d& d) {
    const double adx = a.x - d.x, ady = a.y - d.y, adz = a.z - d.z;
    const double bdx = b.x - d.x, bdy = b.y - d.y, bdz = b.z - d.z;
    const double cdx = c.x - d.x, cdy = c.y - d.y, cdz = c.z - d.z;
    // Four points sharing one coordinate lie in an axis plane.
    if ((adx == 0.0 && bdx == 0.0 && cdx == 0.0) || (ady == 0.0 && bdy == 0.0 && cdy == 0.0) ||
        (adz == 0.0 && bdz == 0.0 && cdz == 0.0))
        return 0;
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double det = adz * (bdxcdy - cdxbdy) + bdz * (cdxady - adxcdy) + cdz * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * std::fabs(adz) +
                             (std::fabs(cdxady) + std::fabs(adxcdy)) * std::fabs(bdz) +
                             (std::fabs(adxbdy) + std::fabs(bdxady)) * std::fabs(cdz);
    if (std::fabs(det) > kOrient3dBound * permanent) return signOf(det);
    return orient3dExact(a, b, c, d);
}

int orient2dDropping(int droppedAxis, const DPoint3d& a, const DPoint3d& b, const DPoint3d& c) {
    const int u = (droppedAxis + 1) % 3, v = (droppedAxis + 2) % 3;
    return orient2d(coordinate(a, u), coordinate(a, v), coordinate(b, u), coordinate(b, v), coordinate(c, u),
                    coordinate(c, v));
}

bool collinear(const DPoint3d& a, const DPoint3d& b, const DPoint3d& c) {
    // (b - a) x (c - a) is zero exactly when each of its components, the
    // orientations in the three axis planes, is zero.
    for (int axis = 0; axis < 3; ++axis)
        if (orient2dDropping(axis, a, b, c) != 0) return false;
    return true;
}

}  // namespace spatialgeom::kernel
