#ifndef TESSIVO_TESTCASES_CASEDESIGN_H
#define TESSIVO_TESTCASES_CASEDESIGN_H

#include "Camera.h"
#include "Raster.h"

#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

// Everything that describes one generated test case: the facade's layout in
// rectified pixels, its materials, its windows, its leaves or blinds, the
// camera and the surroundings of the photograph.
namespace testcases {

enum class CaseKind { Blind, Shutter };
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

struct WindowStyle {
    Rgb frame;            // painted frame
    Rgb reveal;           // the wall's reveal around the frame
    Rgb sill;             // the ledge at the bottom
    Rgb interior;         // dim room colour
    Rgb curtain;          // curtain fabric
    Rgb sky;              // sky reflected in the glass
    int revealWidth = 4;
    int frameWidth = 4;
    int sillHeight = 5;
    int casements = 2;    // 1 or 2 sashes side by side
    int paneRows = 1;     // glazing bar rows per sash
    double transom = 0.0; // share of the glass height taken by a top light
    double curtainChance = 0.6;
    // External blind (blind cases).
    Rgb slat;
    int slatPitch = 4;
    float gapDarkness = 0.45f; // how much of the room shows between slats
};

struct ShutterStyle {
    Rgb paint;
    Rgb hardware;
    int textureScale = 3; // texture pixels per rectified pixel of a closed leaf
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
    CaseKind kind = CaseKind::Blind;
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

// Folder of a case kind inside the tree ("blinds" or "shutters").
std::string kindFolder(CaseKind kind);

} // namespace testcases

#endif
