#include "TessivoDemo.h"

#include "FacadeGLWidget.h"
#include "QWindowData2D.h"

TessivoDemo::TessivoDemo(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    ui.setupUi(this);
}

TessivoDemo::~TessivoDemo() = default;
bool TessivoDemo::findTestCaseRoot() { return false; }
void TessivoDemo::testSlot() {}
void TessivoDemo::saveToImageSlot() {}
void TessivoDemo::randomShutterAngleSlot() {}
void TessivoDemo::loadGridSlot() {}
void TessivoDemo::saveGridSlot() {}
void TessivoDemo::loadWindowBlindSlot() {}
void TessivoDemo::dragAllBlindsToggledSlot(bool) {}
void TessivoDemo::loadWindowShutterSlot() {}
void TessivoDemo::gridRowChangedSlot(int) {}
void TessivoDemo::gridColChangedSlot(int) {}
void TessivoDemo::resetWindowGridStructureSlot() {}
void TessivoDemo::leftShutterValueChanged(int) {}
void TessivoDemo::rightShutterValueChanged(int) {}
void TessivoDemo::rotateAllShuttersToggledSlot(bool) {}
void TessivoDemo::showGridToggledSlot(bool) {}
void TessivoDemo::showInOriginalViewToggledSlot(bool) {}
void TessivoDemo::showOriginalImageToggledSlot(bool) {}
