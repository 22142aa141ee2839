#include "kernel/transform3d.h"

#include <algorithm>
#include <cmath>

namespace spatialgeom::kernel {

namespace {

constexpr std::size_t kTranslationColumn = 3;

// Row i of the linear part of t, as a vector.
Vec3d matrixRow(const transform& t, int i) { return {t.form3d[i][0], t.form3d[i][1], t.form3d[i][2]}; }

Vec3d translationOf(const transform& t) {
    return {t.form3d[0][kTranslationColumn], t.form3d[1][kTranslationColumn], t.form3d[2][kTranslationColumn]};
}

void setTranslation(transform* t, const Vec3d& translation) {
    t->form3d[0][kTranslationColumn] = translation.x;
    t->form3d[1][kTranslationColumn] = translation.y;
    t->form3d[2][kTranslationColumn] = translation.z;
}

// M*v, the linear part of t applied to v (no translation).
Vec3d applyLinear(const transform& t, const Vec3d& v) {
    return {dot(matrixRow(t, 0), v), dot(matrixRow(t, 1), v), dot(matrixRow(t, 2), v)};
}

DPoint3d applyAffine(const transform& t, const DPoint3d& p) { return applyLinear(t, p) + translationOf(t); }

// The transform with linear part m that keeps `fixed` in place.
transform fixingPoint(const RotMatrix& m, const DPoint3d& fixed) {
    transform result;
    initFromMatrix(&result, m);
    setFixedPoint(&result, fixed);
    return result;
}

}  // namespace

void initIdentity(transform* out) {
    *out = transform{{{1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0}}};
}

void initMatrixFromRows(RotMatrix* out, double x00, double x01, double x02, double x10, double x11, double x12,
                        double x20, double x21, double x22) {
    *out = RotMatrix{{{x00, x01, x02}, {x10, x11, x12}, {x20, x21, x22}}};
}

void initFromMatrix(transform* out, const RotMatrix& matrix) {
    const RotMatrix m = matrix;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out->form3d[i][j] = m.form3d[i][j];
        out->form3d[i][kTranslationColumn] = 0.0;
    }
}

void initTranslation(transform* out, const Vec3d& translation) {
    const Vec3d by = translation;
    initIdentity(out);
    setTranslation(out, by);
}

bool initRotationAboutLine(transform* out, const DPoint3d& point0, const DPoint3d& point1, double angle) {
    Vec3d u;
    if (!normalize(point1 - point0, &u)) {
        initIdentity(out);
        return false;
    }
    // Rodrigues: R = c*I + s*[u]x + (1 - c)*u*u^T.
    const double c = std::cos(angle), s = std::sin(angle), C = 1.0 - c;
    RotMatrix r;
    initMatrixFromRows(&r, c + u.x * u.x * C, u.x * u.y * C - u.z * s, u.x * u.z * C + u.y * s, u.y * u.x * C + u.z * s,
                       c + u.y * u.y * C, u.y * u.z * C - u.x * s, u.z * u.x * C - u.y * s, u.z * u.y * C + u.x * s,
                       c + u.z * u.z * C);
    *out = fixingPoint(r, point0);
    return true;
}

bool initMirror(transform* out, const DPoint3d& planePoint, const Vec3d& planeNormal) {
    Vec3d n;
    if (!normalize(planeNormal, &n)) {
        initIdentity(out);
        return false;
    }
    // Householder: M = I - 2*n*n^T.
    RotMatrix m;
    initMatrixFromRows(&m, 1.0 - 2.0 * n.x * n.x, -2.0 * n.x * n.y, -2.0 * n.x * n.z, -2.0 * n.y * n.x,
                       1.0 - 2.0 * n.y * n.y, -2.0 * n.y * n.z, -2.0 * n.z * n.x, -2.0 * n.z * n.y,
                       1.0 - 2.0 * n.z * n.z);
    *out = fixingPoint(m, planePoint);
    return true;
}

void scaleRows(transform* out, const transform* source, double sx, double sy, double sz) {
    transform result;
    if (source != nullptr) {
        result = *source;
    } else {
        initIdentity(&result);
    }
    const double factors[3] = {sx, sy, sz};
    for (int i = 0; i < 3; ++i) {
        for (double& value : result.form3d[i]) value *= factors[i];
    }
    *out = result;
}

void setFixedPoint(transform* t, const DPoint3d& point) {
    const DPoint3d fixed = point;
    setTranslation(t, fixed - applyLinear(*t, fixed));
}

void multiplyTransforms(transform* out, const transform& a, const transform& b) {
    transform product;
    for (int i = 0; i < 3; ++i) {
        const Vec3d row = matrixRow(a, i);
        for (int j = 0; j < 3; ++j) {
            product.form3d[i][j] = dot(row, Vec3d{b.form3d[0][j], b.form3d[1][j], b.form3d[2][j]});
        }
    }
    setTranslation(&product, applyAffine(a, translationOf(b)));
    *out = product;
}

void applyToPoint(const transform& t, DPoint3d* out, const DPoint3d& in) { *out = applyAffine(t, in); }

void applyToPoints(const transform& t, DPoint3d* out, const DPoint3d* in, std::size_t count) {
    // A local copy lets the compiler keep the twelve values in registers: the
    // output stores cannot change it.
    const transform local = t;
    for (std::size_t i = 0; i < count; ++i) out[i] = applyAffine(local, in[i]);
}

}  // namespace spatialgeom::kernel
