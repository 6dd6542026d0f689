#include "TessivoDemo.h"

#include "FacadeGLWidget.h"
#include "QWindowData2D.h"


// Builds the form, puts the facade view into the scroll area and wires the
// nine controls of the panel; the grid and shutter controls start disabled.
TessivoDemo::TessivoDemo(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    ui.setupUi(this);
    setFixedSize(geometry().width(), geometry().height());

    // setWidget deletes the form's placeholder; forget the pointer to it.
    facadeView = new FacadeGLWidget();
    ui.scrollArea->setWidget(facadeView);
    ui.scrollAreaWidgetContents = nullptr;
    facadeView->setDemoDialog(this);

    connect(ui.pushButton2DWindowBlindLoad, &QPushButton::released, this,
            &TessivoDemo::loadWindowBlindSlot);
    connect(ui.pushButton2DWindowShutterLoad, &QPushButton::released, this,
            &TessivoDemo::loadWindowShutterSlot);
    connect(ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TessivoDemo::gridRowChangedSlot);
    connect(ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TessivoDemo::gridColChangedSlot);
    connect(ui.pushButtonResetStructure, &QPushButton::released, this,
            &TessivoDemo::resetWindowGridStructureSlot);
    connect(ui.horizontalSliderLeftShutter, &QSlider::valueChanged, this,
            &TessivoDemo::leftShutterValueChanged);
    connect(ui.horizontalSliderRightShutter, &QSlider::valueChanged, this,
            &TessivoDemo::rightShutterValueChanged);
    connect(ui.checkBoxShowGrid, &QCheckBox::toggled, this, &TessivoDemo::showGridToggledSlot);
    connect(ui.checkBoxShowInOriginalView, &QCheckBox::toggled, this,
            &TessivoDemo::showInOriginalViewToggledSlot);

    for (QSlider *slider : {ui.horizontalSliderLeftShutter, ui.horizontalSliderRightShutter}) {
        slider->setRange(0, 180);
        slider->setSingleStep(10);
    }
    ui.spinBoxRow->setEnabled(false);
    ui.spinBoxCol->setEnabled(false);
    ui.horizontalSliderLeftShutter->setEnabled(false);
    ui.horizontalSliderRightShutter->setEnabled(false);

    windowData.reset();
    rotateAllShutters = false;
}

// The view outlives this body (it is destroyed with the widget tree by the
// base class), so it is detached from the model and the image first.
TessivoDemo::~TessivoDemo()
{
    if (facadeView) {
        facadeView->setWindowData(nullptr);
        facadeView->setImage(nullptr);
    }
    windowData.reset();
    testImage.reset();
}

int TessivoDemo::loadedRowCount() const
{
    return windowData ? windowData->detectedRowCount() : 0;
}

int TessivoDemo::loadedColCount() const
{
    return windowData ? windowData->detectedColCount() : 0;
}

int TessivoDemo::selectedWindowInGrid() const
{
    const int selected = facadeView->selectedWindowIndex();
    return windowData && windowData->isWindowIndex(selected) ? selected : -1;
}
