#ifndef TESSIVO_TESTCASES_CASEDESIGN_H
#define TESSIVO_TESTCASES_CASEDESIGN_H

#include "ArtStyles.h"
#include "Camera.h"
#include "Raster.h"
#include "QWindowData2D.h"

#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

// Everything that describes one generated test case: the facade's layout in
// rectified pixels, its materials, its windows, its leaves or blinds, the
// camera and the surroundings of the photograph.
namespace TestCases {

// The generator paints with the product's case art: its pictures, colours,
// cameras, noise, blinds and leaves are the generator's own vocabulary.
using namespace CaseArt;

enum class WallKind { Plaster, Brick, Ashlar };

struct WallStyle {
    WallKind kind = WallKind::Plaster;
    Rgb base;             // main wall colour
    Rgb trim;             // cornices, string courses
    Rgb joint;            // mortar or stone joints
    Rgb plinth;           // base of the ground floor
    float blotch = 0.08f; // strength of large stains
    float grain = 0.05f;  // strength of fine grain
    float streaks = 0.04f;// rain streaks running down
    int unitW = 16;       // brick or block length including its joint
    int unitH = 5;        // course height including its joint
    bool rusticatedGround = false; // horizontal grooves on the ground floor
};

// Neighbouring buildings and the street in the photograph.
struct SceneStyle {
    Rgb skyHorizon;
    Rgb skyZenith;
    float clouds = 0.5f;
    Rgb leftWall;
    Rgb rightWall;
    double leftTop = -2.0;   // roof line of the neighbours, metres below our facade's top
    double rightTop = 3.0;
    Rgb pavement;
    Rgb road;
    double sidewalk = 3.0;   // metres from the wall to the kerb
    Rgb roof;                // roof band above our facade
    double roofHeight = 0.0; // metres; 0 for none
    Rgb tint{1.0f, 1.0f, 1.0f}; // colour balance of the photograph
};

struct FacadeLayout {
    int rows = 3;
    int cols = 4;
    int winW = 60;
    int winH = 100;
    int stepX = 150;
    int stepY = 160;
    int sideMargin = 40;
    int topHeight = 60;     // attic and cornice above the grid
    int groundHeight = 150; // ground floor below the grid
    int doorCol = 1;        // column above which the entrance sits

    int gapX() const { return stepX - winW; }
    int gapY() const { return stepY - winH; }
    QRect bounds() const;
    int width() const { return 2 * sideMargin + bounds().width(); }
    int height() const { return topHeight + bounds().height() + groundHeight; }
    // Window at column c and row r.
    QRect window(int col, int row) const;
    // y of the ground floor's top edge.
    int groundTop() const { return topHeight + bounds().height(); }
};

struct CaseDesign {
    TestCaseKind kind = TestCaseKind::Blind;
    std::string fileName;   // photograph's file name, e.g. "5.jpg"
    std::uint32_t seed = 1;
    double pixelScale = 0.02;
    FacadeLayout layout;
    WallStyle wall;
    WindowStyle window;
    ShutterStyle shutter;
    CameraSetup camera;
    SceneStyle scene;
};

// The five cases of the tree, in the order of the control panel's lists.
std::vector<CaseDesign> allCases();

} // namespace TestCases

#endif
