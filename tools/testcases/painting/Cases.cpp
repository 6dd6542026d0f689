#include "CaseDesign.h"

#include "TestCasePaths.h"

// The five facades of the tree. Each has its own material, palette, window
// style, grid and camera, so that the cases look and behave differently.
namespace TestCases {

namespace {

// "1_temp.jpg": a cream rendered block of flats with white windows and grey
// aluminium venetian blinds, seen from the left.
CaseDesign creamPlaster()
{
    CaseDesign c;
    c.kind = TestCaseKind::Blind;
    c.fileName = TestCasePaths::photoName(TestCaseKind::Blind, 0);
    c.seed = 101;
    c.pixelScale = 0.025;
    c.layout.rows = 4;
    c.layout.cols = 5;
    c.layout.winW = 64;
    c.layout.winH = 92;
    c.layout.stepX = 140;
    c.layout.stepY = 128;
    c.layout.sideMargin = 40;
    c.layout.topHeight = 70;
    c.layout.groundHeight = 150;
    c.layout.doorCol = 2;
    c.wall.kind = WallKind::Plaster;
    c.wall.base = rgb8(226, 208, 170);
    c.wall.trim = rgb8(242, 234, 216);
    c.wall.joint = rgb8(200, 190, 170);
    c.wall.plinth = rgb8(150, 142, 130);
    c.wall.blotch = 0.06f;
    c.wall.grain = 0.05f;
    c.wall.streaks = 0.05f;
    c.wall.rusticatedGround = true;
    c.window.frame = rgb8(236, 236, 232);
    c.window.reveal = rgb8(208, 192, 160);
    c.window.sill = rgb8(196, 198, 200);
    c.window.interior = rgb8(62, 50, 42);
    c.window.curtain = rgb8(226, 216, 196);
    c.window.sky = rgb8(172, 196, 226);
    c.window.revealWidth = 4;
    c.window.frameWidth = 4;
    c.window.sillHeight = 4;
    c.window.casements = 2;
    c.window.slat = rgb8(178, 181, 184);
    c.window.slatPitch = 4;
    c.window.gapDarkness = 0.5f;
    c.camera.yawDeg = 18.0;
    c.camera.pitchDeg = 5.0;
    c.camera.focal = 800.0;
    c.camera.photoWidth = 1100;
    c.camera.photoHeight = 820;
    c.camera.fill = 0.66;
    c.camera.maxFillHeight = 0.8;
    c.camera.shiftX = 0.0;
    c.camera.shiftY = -0.02;
    c.scene.skyHorizon = rgb8(210, 224, 238);
    c.scene.skyZenith = rgb8(112, 152, 206);
    c.scene.clouds = 0.5f;
    c.scene.leftWall = rgb8(178, 184, 188);
    c.scene.rightWall = rgb8(222, 196, 182);
    c.scene.leftTop = -1.5;
    c.scene.rightTop = 3.5;
    c.scene.pavement = rgb8(172, 167, 160);
    c.scene.road = rgb8(72, 74, 77);
    c.scene.roof = rgb8(96, 72, 64);
    c.scene.roofHeight = 1.2;
    c.scene.tint = {1.0f, 0.99f, 0.96f};
    return c;
}

// "5.jpg": red brick terrace with sandstone trim, white sashes with a top
// light, beige roller blinds, seen from the right.
CaseDesign redBrick()
{
    CaseDesign c;
    c.kind = TestCaseKind::Blind;
    c.fileName = TestCasePaths::photoName(TestCaseKind::Blind, 1);
    c.seed = 505;
    c.pixelScale = 0.02;
    c.layout.rows = 3;
    c.layout.cols = 6;
    c.layout.winW = 50;
    c.layout.winH = 84;
    c.layout.stepX = 130;
    c.layout.stepY = 150;
    c.layout.sideMargin = 40;
    c.layout.topHeight = 80;
    c.layout.groundHeight = 170;
    c.layout.doorCol = 1;
    c.wall.kind = WallKind::Brick;
    c.wall.base = rgb8(162, 80, 58);
    c.wall.trim = rgb8(214, 196, 160);
    c.wall.joint = rgb8(192, 184, 170);
    c.wall.plinth = rgb8(118, 110, 104);
    c.wall.blotch = 0.05f;
    c.wall.grain = 0.07f;
    c.wall.unitW = 14;
    c.wall.unitH = 5;
    c.window.frame = rgb8(240, 240, 236);
    c.window.reveal = rgb8(150, 84, 64);
    c.window.sill = rgb8(214, 198, 162);
    c.window.interior = rgb8(58, 46, 40);
    c.window.curtain = rgb8(232, 224, 204);
    c.window.sky = rgb8(180, 200, 222);
    c.window.revealWidth = 5;
    c.window.frameWidth = 4;
    c.window.sillHeight = 6;
    c.window.casements = 2;
    c.window.transom = 0.28;
    c.window.slat = rgb8(214, 200, 170);
    c.window.slatPitch = 3;
    c.window.gapDarkness = 0.2f;
    c.camera.yawDeg = -14.0;
    c.camera.pitchDeg = 6.0;
    c.camera.focal = 760.0;
    c.camera.photoWidth = 1024;
    c.camera.photoHeight = 768;
    c.camera.fill = 0.7;
    c.camera.maxFillHeight = 0.8;
    c.camera.shiftX = 0.0;
    c.camera.shiftY = 0.0;
    c.scene.skyHorizon = rgb8(220, 226, 232);
    c.scene.skyZenith = rgb8(132, 162, 200);
    c.scene.clouds = 0.7f;
    c.scene.leftWall = rgb8(198, 182, 152);
    c.scene.rightWall = rgb8(182, 180, 174);
    c.scene.leftTop = 2.5;
    c.scene.rightTop = -2.0;
    c.scene.pavement = rgb8(160, 158, 154);
    c.scene.road = rgb8(66, 66, 70);
    c.scene.roof = rgb8(124, 64, 50);
    c.scene.roofHeight = 1.0;
    c.scene.tint = {1.0f, 0.98f, 0.95f};
    return c;
}

// "7.jpg": a stone-clad office front with anthracite frames and dark
// venetian blinds under an overcast sky.
CaseDesign stoneOffice()
{
    CaseDesign c;
    c.kind = TestCaseKind::Blind;
    c.fileName = TestCasePaths::photoName(TestCaseKind::Blind, 2);
    c.seed = 707;
    c.pixelScale = 0.025;
    c.layout.rows = 5;
    c.layout.cols = 4;
    c.layout.winW = 64;
    c.layout.winH = 88;
    c.layout.stepX = 150;
    c.layout.stepY = 118;
    c.layout.sideMargin = 50;
    c.layout.topHeight = 50;
    c.layout.groundHeight = 140;
    c.layout.doorCol = 1;
    c.wall.kind = WallKind::Ashlar;
    c.wall.base = rgb8(206, 198, 180);
    c.wall.trim = rgb8(222, 216, 202);
    c.wall.joint = rgb8(168, 162, 150);
    c.wall.plinth = rgb8(104, 102, 100);
    c.wall.blotch = 0.05f;
    c.wall.grain = 0.07f;
    c.wall.streaks = 0.06f;
    c.wall.unitW = 48;
    c.wall.unitH = 24;
    c.window.frame = rgb8(62, 64, 68);
    c.window.reveal = rgb8(182, 174, 158);
    c.window.sill = rgb8(92, 94, 98);
    c.window.interior = rgb8(50, 55, 60);
    c.window.curtain = rgb8(200, 200, 196);
    c.window.sky = rgb8(190, 198, 208);
    c.window.curtainChance = 0.3;
    c.window.revealWidth = 5;
    c.window.frameWidth = 3;
    c.window.sillHeight = 4;
    c.window.casements = 1;
    c.window.slat = rgb8(98, 100, 102);
    c.window.slatPitch = 5;
    c.window.gapDarkness = 0.55f;
    c.camera.yawDeg = 22.0;
    c.camera.pitchDeg = 4.0;
    c.camera.focal = 720.0;
    c.camera.photoWidth = 1000;
    c.camera.photoHeight = 760;
    c.camera.fill = 0.62;
    c.camera.maxFillHeight = 0.8;
    c.camera.shiftX = 0.0;
    c.camera.shiftY = 0.0;
    c.scene.skyHorizon = rgb8(214, 218, 222);
    c.scene.skyZenith = rgb8(160, 172, 190);
    c.scene.clouds = 0.85f;
    c.scene.leftWall = rgb8(200, 196, 188);
    c.scene.rightWall = rgb8(150, 122, 102);
    c.scene.leftTop = 4.0;
    c.scene.rightTop = 1.0;
    c.scene.pavement = rgb8(150, 150, 148);
    c.scene.road = rgb8(60, 62, 64);
    c.scene.roofHeight = 0.0;
    c.scene.tint = {0.97f, 0.99f, 1.02f};
    return c;
}

// Shutters "1.jpg": a terracotta house of the south with cream windows and
// green louvred shutters.
CaseDesign terracottaShutters()
{
    CaseDesign c;
    c.kind = TestCaseKind::Shutter;
    c.fileName = TestCasePaths::photoName(TestCaseKind::Shutter, 0);
    c.seed = 1001;
    c.pixelScale = 0.02;
    c.layout.rows = 3;
    c.layout.cols = 4;
    c.layout.winW = 60;
    c.layout.winH = 110;
    c.layout.stepX = 160;
    c.layout.stepY = 170;
    c.layout.sideMargin = 45;
    c.layout.topHeight = 70;
    c.layout.groundHeight = 170;
    c.layout.doorCol = 2;
    c.wall.kind = WallKind::Plaster;
    c.wall.base = rgb8(212, 146, 104);
    c.wall.trim = rgb8(236, 214, 180);
    c.wall.joint = rgb8(200, 160, 130);
    c.wall.plinth = rgb8(140, 122, 104);
    c.wall.blotch = 0.1f;
    c.wall.grain = 0.06f;
    c.wall.streaks = 0.06f;
    c.wall.rusticatedGround = true;
    c.window.frame = rgb8(232, 226, 210);
    c.window.reveal = rgb8(198, 140, 102);
    c.window.sill = rgb8(226, 214, 190);
    c.window.interior = rgb8(56, 44, 36);
    c.window.curtain = rgb8(236, 228, 210);
    c.window.sky = rgb8(176, 200, 230);
    c.window.revealWidth = 4;
    c.window.frameWidth = 4;
    c.window.sillHeight = 5;
    c.window.casements = 2;
    c.window.paneRows = 3;
    c.shutter.paint = rgb8(58, 106, 72);
    c.shutter.hardware = rgb8(40, 38, 36);
    c.camera.yawDeg = -20.0;
    c.camera.pitchDeg = 5.0;
    c.camera.focal = 820.0;
    c.camera.photoWidth = 1100;
    c.camera.photoHeight = 820;
    c.camera.fill = 0.64;
    c.camera.maxFillHeight = 0.8;
    c.camera.shiftX = 0.0;
    c.camera.shiftY = 0.0;
    c.scene.skyHorizon = rgb8(214, 228, 240);
    c.scene.skyZenith = rgb8(92, 140, 210);
    c.scene.clouds = 0.35f;
    c.scene.leftWall = rgb8(232, 206, 150);
    c.scene.rightWall = rgb8(204, 192, 176);
    c.scene.leftTop = 1.0;
    c.scene.rightTop = -2.5;
    c.scene.pavement = rgb8(178, 170, 156);
    c.scene.road = rgb8(84, 82, 80);
    c.scene.roof = rgb8(156, 82, 60);
    c.scene.roofHeight = 1.3;
    c.scene.tint = {1.03f, 1.0f, 0.94f};
    return c;
}

// Shutters "6.jpg": a limestone town house with tall French windows,
// blue-grey shutters and a slate mansard roof.
CaseDesign limestoneShutters()
{
    CaseDesign c;
    c.kind = TestCaseKind::Shutter;
    c.fileName = TestCasePaths::photoName(TestCaseKind::Shutter, 1);
    c.seed = 606;
    c.pixelScale = 0.022;
    c.layout.rows = 4;
    c.layout.cols = 3;
    c.layout.winW = 56;
    c.layout.winH = 104;
    c.layout.stepX = 176;
    c.layout.stepY = 140;
    c.layout.sideMargin = 40;
    c.layout.topHeight = 80;
    c.layout.groundHeight = 140;
    c.layout.doorCol = 1;
    c.wall.kind = WallKind::Ashlar;
    c.wall.base = rgb8(226, 216, 192);
    c.wall.trim = rgb8(236, 228, 208);
    c.wall.joint = rgb8(196, 186, 164);
    c.wall.plinth = rgb8(160, 152, 140);
    c.wall.blotch = 0.07f;
    c.wall.grain = 0.05f;
    c.wall.streaks = 0.05f;
    c.wall.unitW = 60;
    c.wall.unitH = 28;
    c.window.frame = rgb8(238, 238, 232);
    c.window.reveal = rgb8(210, 200, 178);
    c.window.sill = rgb8(230, 222, 200);
    c.window.interior = rgb8(50, 46, 44);
    c.window.curtain = rgb8(240, 236, 226);
    c.window.sky = rgb8(184, 204, 228);
    c.window.curtainChance = 0.7;
    c.window.revealWidth = 4;
    c.window.frameWidth = 3;
    c.window.sillHeight = 5;
    c.window.casements = 2;
    c.window.paneRows = 4;
    c.shutter.paint = rgb8(112, 140, 160);
    c.shutter.hardware = rgb8(50, 50, 54);
    c.camera.yawDeg = 13.0;
    c.camera.pitchDeg = 7.0;
    c.camera.focal = 760.0;
    c.camera.photoWidth = 1024;
    c.camera.photoHeight = 800;
    c.camera.fill = 0.6;
    c.camera.maxFillHeight = 0.8;
    c.camera.shiftX = 0.0;
    c.camera.shiftY = 0.0;
    c.scene.skyHorizon = rgb8(218, 226, 236);
    c.scene.skyZenith = rgb8(120, 156, 204);
    c.scene.clouds = 0.55f;
    c.scene.leftWall = rgb8(214, 204, 186);
    c.scene.rightWall = rgb8(192, 178, 162);
    c.scene.leftTop = 0.5;
    c.scene.rightTop = 2.0;
    c.scene.pavement = rgb8(176, 172, 164);
    c.scene.road = rgb8(70, 70, 72);
    c.scene.roof = rgb8(82, 88, 98);
    c.scene.roofHeight = 2.2;
    return c;
}

} // namespace

std::vector<CaseDesign> allCases()
{
    return {creamPlaster(), redBrick(), stoneOffice(), terracottaShutters(), limestoneShutters()};
}

} // namespace TestCases
