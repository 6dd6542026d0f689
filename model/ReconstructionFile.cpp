#include "QWindowData2D.h"

#include "ScanText.h"
#include "TestCasePaths.h"
#include "TextFile.h"
#include "TextFormat.h"

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

// The comment lines of the file, read as scanf literals and written as they are.
constexpr const char *kCameraKLine = "#Camera K:\n";
constexpr const char *kCameraRLine = "#Camera R:\n";
constexpr const char *kHomographyLine = "#Homography H for rectification\n";
constexpr const char *kRelationLine = "#x1 in rectified image, x2 in original image, then x2 = H * x1 \n";
constexpr const char *kOffsetsLine = "#Offsets: col_min row_min\n";

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

// Rows of 17 significant digits ("%.17g"): every double reads back exactly,
// so that a matrix the reader accepted is accepted again (with 15 digits two
// rows that differ only beyond them became equal, and H singular).
void appendMatrix(std::string &text, const double m[3][3])
{
    for (int r = 0; r < 3; ++r) {
        for (int l = 0; l < 3; ++l) {
            appendGeneral(text, m[r][l], 17);
            text += l < 2 ? ' ' : '\n';
        }
    }
}

// K, R, H and the offsets with the comment lines the reader expects.
std::string reconstructionText(const double k[3][3], const double r[3][3], const double h[3][3], int colMin,
                               int rowMin)
{
    std::string text = kCameraKLine;
    appendMatrix(text, k);
    text += kCameraRLine;
    appendMatrix(text, r);
    text += kHomographyLine;
    text += kRelationLine;
    appendMatrix(text, h);
    text += kOffsetsLine;
    appendFormat(text, "%d %d\n", colMin, rowMin);
    return text;
}

} // namespace

bool QWindowData2D::loadReconstruction(const std::string &folder, const std::string &fileName, Failure *failure)
{
    std::ifstream in;
    return openInputFile(in, TestCasePaths::reconstructionFile(folder, fileName), failure)
        && loadReconstruction(in, failure);
}

// Reads K, R, H and the two offsets, and inverts H. A singular H is refused
// (nothing is stored) so that the mapping never runs through NaN or infinity.
bool QWindowData2D::loadReconstruction(std::istream &in, Failure *failure)
{
    std::string text;
    if (!readInput(in, text, failure))
        return false;
    ScanText scan(std::move(text));
    double k[3][3];
    double r[3][3];
    double h[3][3];
    double inv[3][3];
    int offsets[2] = {0, 0};

    scan.literal(kCameraKLine);
    readMatrix(scan, k);
    scan.literal(kCameraRLine);
    readMatrix(scan, r);
    scan.literal(kHomographyLine);
    scan.literal(kRelationLine);
    readMatrix(scan, h);
    scan.literal(kOffsetsLine);
    if (scan.integer(offsets[0]))
        scan.integer(offsets[1]);

    if (!invert(h, inv))
        return failAndLog(failure, "Reconstruction file: homography H is singular or unreadable, not loaded!");
    std::memcpy(cameraK, k, sizeof cameraK);
    std::memcpy(cameraR, r, sizeof cameraR);
    std::memcpy(homography, h, sizeof homography);
    std::memcpy(homographyInv, inv, sizeof homographyInv);
    colMin = offsets[0];
    rowMin = offsets[1];
    return true;
}

bool QWindowData2D::saveReconstruction(std::ostream &out, Failure *failure) const
{
    return writeText(out, reconstructionText(cameraK, cameraR, homography, colMin, rowMin), failure);
}

bool QWindowData2D::saveReconstruction(const std::string &path, Failure *failure) const
{
    return writeTextFile(path, reconstructionText(cameraK, cameraR, homography, colMin, rowMin), failure);
}
