#include "QWindowData2D.h"

#include "ScanText.h"
#include "TestCasePaths.h"
#include "TextFile.h"
#include "TextFormat.h"

#include <cmath>
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

void readMatrix(ScanText &scan, Matrix3 &m)
{
    for (int r = 0; r < 3; ++r)
        readRow(scan, m[std::size_t(r)].data());
}

// Rows of 17 significant digits ("%.17g"): every double reads back exactly,
// so that a matrix the reader accepted is accepted again (with 15 digits two
// rows that differ only beyond them became equal, and H singular).
void appendMatrix(std::string &text, const Matrix3 &m)
{
    for (int r = 0; r < 3; ++r) {
        for (int l = 0; l < 3; ++l) {
            appendGeneral(text, m[r][l], 17);
            text += l < 2 ? ' ' : '\n';
        }
    }
}

// K, R, H and the offsets with the comment lines the reader expects.
std::string reconstructionText(const Matrix3 &k, const Matrix3 &r, const Matrix3 &h, int colMin,
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
    Matrix3 k{};
    Matrix3 r{};
    Matrix3 h{};
    Matrix3 inv{};
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

    if (!Homography::inverse(h, &inv))
        return failAndLog(failure, "Reconstruction file: homography H is singular or unreadable, not loaded!");
    cameraK = k;
    cameraR = r;
    homography = h;
    homographyInv = inv;
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
