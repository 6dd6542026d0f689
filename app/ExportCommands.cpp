// The two export commands of the dialog: the textured facade scene and the
// template objects placed at every window. A failed write shows no message
// box (the export library has logged it); template meshes that do not load do.
#include "TessivoDemo.h"

#include "ExportGeometry.h"
#include "ExportPaths.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TemplatePlacement.h"

#include <QFileDialog>
#include <QMessageBox>

void TessivoDemo::saveFacadeToMeshSlot()
{
    if (!windowData)
        return;
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Save facade to mesh file"), QString(), tr("Mesh file (*.obj)"));
    if (fileName.isEmpty())
        return;
    // Only shutter test cases are exported; the result is not shown.
    if (windowData->isShutterCase())
        windowData->saveFacadeToMesh(toNarrowPath(fileName));
}

void TessivoDemo::gen3DWindowObjsSlot()
{
    using namespace TemplatePlacement;
    if (!windowData)
        return;
    const QString title = tr("Gen 3D window objs");
    if (!windowData->isShutterCase()) {
        QMessageBox::warning(this, title, tr("Only support for shutter type now!!"));
        return;
    }
    const QString windowPath =
        QFileDialog::getOpenFileName(this, tr("Load window obj"), QString(), tr("Mesh file (*.obj)"));
    if (windowPath.isEmpty())
        return;
    const QString leftPath =
        QFileDialog::getOpenFileName(this, tr("Load left shutter obj"), QString(), tr("Mesh file (*.obj)"));
    if (leftPath.isEmpty())
        return;
    // Every output goes next to the left leaf template.
    const std::string folder = ExportPaths::folderOf(toNarrowPath(leftPath));
    const QString rightPath =
        QFileDialog::getOpenFileName(this, tr("Load right shutter obj"), QString(), tr("Mesh file (*.obj)"));
    if (rightPath.isEmpty())
        return;

    // Outputs named like a chosen template would destroy it before it is copied.
    const int count = ExportGeometry::exportableWindowCount(*windowData);
    if (!outputsSpareTemplates(folder, count,
                               {toNarrowPath(windowPath), toNarrowPath(leftPath), toNarrowPath(rightPath)}))
        return;

    const std::unique_ptr<FacadePolyMesh> windowMesh = readTemplateMesh(toNarrowPath(windowPath));
    if (!windowMesh) {
        QMessageBox::warning(this, title, tr("Window mesh load error!!"));
        return;
    }
    if (!writePlacedWindows(*windowData, count, *windowMesh, toNarrowPath(windowPath), folder))
        return;
    const std::unique_ptr<FacadePolyMesh> leftMesh = readTemplateMesh(toNarrowPath(leftPath));
    if (!leftMesh) {
        QMessageBox::warning(this, title, tr("Left shutter mesh load error!!"));
        return;
    }
    const std::unique_ptr<FacadePolyMesh> rightMesh = readTemplateMesh(toNarrowPath(rightPath));
    if (!rightMesh) {
        QMessageBox::warning(this, title, tr("Right shutter mesh load error!!"));
        return;
    }
    writePlacedLeaves(*windowData, count, *leftMesh, toNarrowPath(leftPath), *rightMesh, toNarrowPath(rightPath),
                      folder);
}
