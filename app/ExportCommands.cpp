// The two export commands of the dialog: the textured facade scene and the
// template objects placed at every window.
#include "TessivoDemo.h"

#include "ExportPaths.h"
#include "QWindowData2D.h"
#include "TemplatePlacement.h"
#include "WindowGeometry.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// Narrow file-system form of a path that a file dialog returned.
std::string narrowPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

void TessivoDemo::saveFacadeToMeshSlot()
{
    if (!windowData)
        return;
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Save facade to mesh file"), QString(), tr("Mesh file (*.obj)"));
    if (fileName.isEmpty())
        return;
    // Only shutter test cases are exported; the result is not shown.
    if (windowData->caseKind == int(TestCaseKind::Shutter))
        windowData->saveFacadeToMesh(narrowPath(fileName));
}

void TessivoDemo::gen3DWindowObjsSlot()
{
    if (!windowData)
        return;
    const QString title = tr("Gen 3D window objs");
    if (windowData->caseKind != int(TestCaseKind::Shutter)) {
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
    const std::string folder = ExportPaths::folderOf(narrowPath(leftPath));
    const QString rightPath =
        QFileDialog::getOpenFileName(this, tr("Load right shutter obj"), QString(), tr("Mesh file (*.obj)"));
    if (rightPath.isEmpty())
        return;

    // Outputs named like a chosen template would destroy it before it is copied.
    const int count = WindowGeometry::exportableWindowCount(*windowData, "Gen 3D window objs");
    if (!outputsSpareTemplates(folder, count, {narrowPath(windowPath), narrowPath(leftPath), narrowPath(rightPath)}))
        return;

    const std::unique_ptr<FacadePolyMesh> windowMesh = readTemplateMesh(narrowPath(windowPath));
    if (!windowMesh) {
        QMessageBox::warning(this, title, tr("Window mesh load error!!"));
        return;
    }
    if (!writePlacedWindows(*windowData, count, *windowMesh, narrowPath(windowPath), folder))
        return;
    const std::unique_ptr<FacadePolyMesh> leftMesh = readTemplateMesh(narrowPath(leftPath));
    if (!leftMesh) {
        QMessageBox::warning(this, title, tr("Left shutter mesh load error!!"));
        return;
    }
    const std::unique_ptr<FacadePolyMesh> rightMesh = readTemplateMesh(narrowPath(rightPath));
    if (!rightMesh) {
        QMessageBox::warning(this, title, tr("Right shutter mesh load error!!"));
        return;
    }
    writePlacedLeaves(*windowData, count, *leftMesh, narrowPath(leftPath), *rightMesh, narrowPath(rightPath), folder);
}
