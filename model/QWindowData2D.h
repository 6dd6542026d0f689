#ifndef TESSIVO_QWINDOWDATA2D_H
#define TESSIVO_QWINDOWDATA2D_H

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>

#include "EditableState.h"
#include "Failure.h"
#include "Homography.h"

#include <climits>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// The wall mesh type of the export (OpenMesh's PolyMesh with default traits).
// Declared here without OpenMesh's headers so that the model stays free of them;
// export/FacadeMesh.h includes the real definition.
namespace OpenMesh {
struct DefaultTraits;
template <class Traits> class PolyMesh_ArrayKernelT;
}
using FacadePolyMesh = OpenMesh::PolyMesh_ArrayKernelT<OpenMesh::DefaultTraits>;

// Coordinates. Positions and sizes are int pixels of the rectified image and
// may hold any int a grid file gives, including negative sizes and values near
// the ends of the range. A sum of two coordinates (an edge, a moved position)
// is therefore never written as a + b: it goes through clampedSum, which
// saturates at INT_MIN and INT_MAX, or through FacadeWindow's right(),
// bottom() and blindEdge(), which use it.
inline int clampedSum(int a, int b)
{
    const std::int64_t sum = std::int64_t(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : int(sum);
}

// Kind of the loaded test case, as stored in QWindowData2D::caseKind.
// Scoped, so that None, Blind and Shutter stay out of the global namespace.
enum class TestCaseKind : int { None = 0, Blind = 1, Shutter = 2 };

// One window of the grid, in rectified-image pixels.
struct FacadeWindow {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int col = 0;
    int row = 0;
    double aux = 0.0;       // carried through grid files, never interpreted (the generator stores a detection score)
    int blindExtent = 0;    // from the top edge down to the blind's lower edge
    int sourceIndex = -1;   // detected window whose images it shows; -1 in the detected list
    double leftAngle = 0.0; // radians
    double rightAngle = 0.0;

    // Edges and the blind's lower edge, saturated as the coordinate rule says.
    int right() const { return clampedSum(x, width); }
    int bottom() const { return clampedSum(y, height); }
    int blindEdge() const { return clampedSum(y, blindExtent); }
};

// One shutter leaf sampled at several opening angles.
struct ShutterLeaf {
    QPoint hinge1;
    QPoint hinge2;
    std::vector<double> angles; // radians, in file order
    std::vector<QPoint> outer1; // outer corner on hinge2's side, per sample
    std::vector<QPoint> outer2; // outer corner on hinge1's side, per sample
};

struct ShutterPair {
    ShutterLeaf left;
    ShutterLeaf right;
};

// Axis-aligned bounding box of the four hinge points of a shutter pair: the
// window rectangle of a shutter test case, for the export and the view alike.
struct HingeBounds {
    int minx = 0;
    int maxx = 0;
    int miny = 0;
    int maxy = 0;
};
HingeBounds hingeBounds(const ShutterPair &pair);

// The facade model of one loaded test case: images, window grid, shutter
// geometry and the camera data relating the rectified image to the photograph.
class QWindowData2D : public QObject
{
    Q_OBJECT

public:
    // The value of pi used throughout the program: the literal 3.1415926, not
    // full precision, so that angles and leaf placements agree everywhere.
    static constexpr double pi = 3.1415926;

    explicit QWindowData2D(QObject *parent = nullptr);
    ~QWindowData2D() override;

    // Every operation that can fail takes an optional Failure for the reason
    // (Failure.h); the readers also log it on standard error.

    // Test-case loading: folder of the test-case kind and the photograph's
    // file name; the file layout is TestCasePaths.h (TestCaseAssets.cpp).
    bool loadBlindTestCase(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    bool loadShutterTestCase(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);

    bool loadImages(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    bool loadBlindImages(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    bool loadInteriorImages(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    void clearWindowImages();

    // Grid file (GridFile.cpp).
    bool loadGrids(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    bool loadGridFile(const std::string &path, Failure *failure = nullptr);
    bool loadGridFile(std::istream &in, Failure *failure = nullptr);
    bool saveGridFile(const std::string &path, Failure *failure = nullptr) const;
    bool saveGridFile(std::ostream &out, Failure *failure = nullptr) const;
    // The grid file of an editing session: the grid file above, then a
    // tagged section that the grid reader above takes back (and any plain
    // grid reader skips): the shown counts, the detected windows and which
    // detected window each window shows. Read back, the model draws what it
    // drew when it was written.
    bool saveSessionGridFile(std::ostream &out, Failure *failure = nullptr) const;

    // What each window of group 0 shows, derived from its sourceIndex and
    // its blind: the source's photographed image while the blind is where
    // the source's was detected, otherwise the source's blind image of the
    // level nearest to blindExtent / height (shutter cases: the source's
    // image). A source without images shows none (a null entry). Called after
    // every grid load and every change of a blind.
    void showWindowImages();
    // The image window i of group 0 shows, as showWindowImages chooses it.
    void showWindowImage(std::size_t i);
    // Blind level 0..10 of a blind covering ratio of its window's height:
    // the integer part of ratio * 10 + 0.5, clamped (NaN gives 0).
    static int blindLevel(double ratio);

    // Shutter file (ShutterFile.cpp). The program only reads it; the writer
    // serves the programs that make test cases.
    bool loadShutters(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    bool loadShutters(std::istream &in, Failure *failure = nullptr);
    bool saveShutters(const std::string &path, Failure *failure = nullptr) const;
    bool saveShutters(std::ostream &out, Failure *failure = nullptr) const;

    // Reconstruction file (ReconstructionFile.cpp); written likewise for the
    // programs that make test cases.
    bool loadReconstruction(const std::string &folder, const std::string &fileName, Failure *failure = nullptr);
    bool loadReconstruction(std::istream &in, Failure *failure = nullptr);
    bool saveReconstruction(const std::string &path, Failure *failure = nullptr) const;
    bool saveReconstruction(std::ostream &out, Failure *failure = nullptr) const;

    // Grid restructuring (GridRestructure.cpp): -1 bad counts, 0 does not fit, 1 rebuilt.
    int restructureGrid(int rowCount, int colCount);
    // Whether rowCount x colCount cells of the cell size fit into the grid
    // bounds of group 0, as restructureGrid requires; when they do not, the
    // reason says how many rows (columns) of what size fit. Counts below 1
    // fail too. Without bounds or cell there is nothing to fit into: true.
    bool latticeFits(int rowCount, int colCount, Failure *failure = nullptr) const;

    // Shutter angles (QWindowData2D.cpp).
    void setRandomShutterAngles();
    void setShutterAngle(double angle, bool left, bool single, int window);

    // Mapping between rectified pixels and the original photograph (QWindowData2D.cpp).
    QPointF rectifiedToOriginal(const QPoint &p) const;
    QPointF originalToRectified(const QPoint &q) const;

    // The kind of the loaded case, without casting caseKind at every site.
    bool isBlindCase() const { return caseKind == int(TestCaseKind::Blind); }
    bool isShutterCase() const { return caseKind == int(TestCaseKind::Shutter); }

    // Window group 0, the one every layer but the grid-file reader and
    // writer works on: its windows, or null when the grid has no group.
    const std::vector<FacadeWindow> *currentGroup() const;
    std::vector<FacadeWindow> *currentGroup();
    // Number of windows in group 0 (0 without a group), capped at INT_MAX.
    int windowCount() const;
    // Whether i indexes a window of group 0.
    bool isWindowIndex(int i) const;
    // Detected rows and columns of group 0: the lengths of rowValues[0] and
    // colValues[0], 0 when the list is absent.
    int detectedRowCount() const;
    int detectedColCount() const;

    // The editable state as one value (EditableState.cpp): what undo records
    // and puts back. restore() takes only a snapshot of this model, whose
    // images it borrows.
    EditableState snapshot() const;
    void restore(const EditableState &state);

    // Export, defined in export/ModelExport.cpp: a program that calls these
    // links tessivo_export.
    bool saveFacadeToMesh(const std::string &objPath, Failure *failure = nullptr);
    bool writeFacadeObj(const std::string &objPath, Failure *failure = nullptr);
    bool writeWindowObjs(const std::string &folder, Failure *failure = nullptr);
    bool writeShutterObjs(const std::string &folder, Failure *failure = nullptr);
    FacadePolyMesh *triangulateFacade(const std::vector<std::vector<QPointF>> &polygons, Failure *failure = nullptr);

private:
    // The grid text both writers start with; returns how many groups it holds.
    std::size_t appendGridText(std::string &text) const;
    // The windows written as group p: its current windows, or its detected
    // ones when restructuring dropped the group.
    const std::vector<FacadeWindow> &writtenGroup(std::size_t p) const;

public:
    int caseKind = int(TestCaseKind::None);
    QImage originalImage;
    QImage originalBackground;
    QImage rectifiedImage;
    QImage background;
    std::vector<std::unique_ptr<QImage>> windowImages;
    std::vector<std::vector<std::unique_ptr<QImage>>> blindImages;
    std::vector<QImage *> currentImages; // borrowed from windowImages or blindImages
    std::vector<int> imageKeys;
    QImage leftShutterImage;
    QImage rightShutterImage;
    std::vector<QRect> gridBounds;
    std::vector<QRect> windowTemplates;
    std::vector<std::vector<FacadeWindow>> detectedWindows;
    std::vector<std::vector<int>> colValues;
    std::vector<std::vector<int>> rowValues;
    int rows = 0;
    int cols = 0;
    std::vector<std::vector<FacadeWindow>> windows;
    std::vector<ShutterPair> shutters;
    Matrix3 cameraK{};
    Matrix3 cameraR{};
    Matrix3 homography{};
    Matrix3 homographyInv{};
    int colMin = 0;
    int rowMin = 0;
};

#endif
