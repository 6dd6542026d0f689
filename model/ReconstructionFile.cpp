#include "QWindowData2D.h"

#include "ScanText.h"
#include "TestCasePaths.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

// "%lf %lf %lf\n": a number that cannot be scanned ends the row, the rest stay 0.
void readRow(ScanText &scan, double row[3])
{
    for (int l = 0; l < 3; ++l)
        row[l] = 0.0;
    for (int l = 0; l < 3; ++l) {
        if (!scan.real(row[l]))
            return;
    }
    scan.skipSpace();
}

void readMatrix(ScanText &scan, double m[3][3])
{
    for (int r = 0; r < 3; ++r)
        readRow(scan, m[r]);
}

// The inverse of h as its adjugate divided by its determinant. False when h is
// singular or not finite, or the inverse would not be finite.
bool invert(const double h[3][3], double inv[3][3])
{
    double det = 0.0;
    for (int l = 0; l < 3; ++l)
        det += h[0][l] * (h[1][(l + 1) % 3] * h[2][(l + 2) % 3] - h[1][(l + 2) % 3] * h[2][(l + 1) % 3]);
    if (det == 0.0 || !std::isfinite(det))
        return false;
    for (int n = 0; n < 3; ++n) {
        for (int m = 0; m < 3; ++m) {
            inv[n][m] = (h[(m + 1) % 3][(n + 1) % 3] * h[(m + 2) % 3][(n + 2) % 3]
                         - h[(m + 1) % 3][(n + 2) % 3] * h[(m + 2) % 3][(n + 1) % 3]) / det;
            if (!std::isfinite(inv[n][m]))
                return false;
        }
    }
    return true;
}

} // namespace

bool QWindowData2D::loadReconstruction(const std::string &folder, const std::string &fileName)
{
    const std::string base = TestCasePaths::baseName(fileName);
    const std::string path = folder + "/" + base + "/" + base + ".reconstruction.txt";
    std::ifstream in;
    if (!openInputFile(in, path))
        return false;
    return loadReconstruction(in);
}

// Reads K, R, H and the two offsets, and inverts H. A singular H is refused
// (nothing is stored) so that the mapping never runs through NaN or infinity.
bool QWindowData2D::loadReconstruction(std::istream &in)
{
    if (in.fail()) {
        std::fputs("Can't open input file!\n", stderr);
        return false;
    }
    ScanText scan(ScanText::readAll(in));
    double k[3][3];
    double r[3][3];
    double h[3][3];
    double inv[3][3];
    int offsets[2] = {0, 0};

    scan.literal("#Camera K:\n");
    readMatrix(scan, k);
    scan.literal("#Camera R:\n");
    readMatrix(scan, r);
    scan.literal("#Homography H for rectification\n");
    scan.literal("#x1 in rectified image, x2 in original image, then x2 = H * x1 \n");
    readMatrix(scan, h);
    scan.literal("#Offsets: col_min row_min\n");
    if (scan.integer(offsets[0]))
        scan.integer(offsets[1]);

    if (!invert(h, inv)) {
        std::fputs("Reconstruction file: homography H is singular or unreadable, not loaded!\n", stderr);
        return false;
    }
    std::memcpy(cameraK, k, sizeof cameraK);
    std::memcpy(cameraR, r, sizeof cameraR);
    std::memcpy(homography, h, sizeof homography);
    std::memcpy(homographyInv, inv, sizeof homographyInv);
    colMin = offsets[0];
    rowMin = offsets[1];
    return true;
}
