// The two export commands of the dialog: the textured facade scene and the
// template objects placed at every window. Everything that stops an export
// is shown with the file concerned; files that already exist are replaced
// only after one question that names them all.
#include "TessivoDemo.h"

#include "ExportGeometry.h"
#include "ExportPaths.h"
#include "GltfExport.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TemplatePlacement.h"
#include "UserMessages.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// The files of paths that exist now.
QStringList existingFiles(const std::vector<std::string> &paths)
{
    QStringList existing;
    for (const std::string &path : paths) {
        const QString file = toQtPath(path);
        if (QFileInfo::exists(file))
            existing << file;
    }
    return existing;
}

} // namespace

// Only a shutter test case is exported; a blind one is told before a file is
// asked for. The file dialog does not ask about the chosen file alone: the
// question covers every file the export writes.
void TessivoDemo::saveFacadeToMeshSlot()
{
    if (!windowData)
        return;
    const QString title = tr("Save facade to mesh file");
    if (!windowData->isShutterCase()) {
        UserMessages::warn(this, title, tr("Only shutter test cases can be exported."),
                           tr("%1 is a blind test case.").arg(toQtPath(imageFileName)));
        return;
    }
    const QString fileName =
        m_fileDialogs.save(this, FileDialogs::Kind::Mesh, title, tr("Mesh file (*.obj)"), QString(), false);
    if (fileName.isEmpty())
        return;
    const std::string objPath = toNarrowPath(fileName);
    const int count = ExportGeometry::exportableWindowCount(*windowData);
    if (!UserMessages::askToReplace(this, title, existingFiles(ExportPaths::facadeExportFiles(objPath, count))))
        return;
    Failure failure;
    if (!windowData->saveFacadeToMesh(objPath, &failure))
        UserMessages::warn(this, title, tr("The facade could not be exported."),
                           UserMessages::reasonText(failure.reason));
}

// The facade as one glTF file for 3D tools: y up, in metres. The width the
// facade has in metres is asked for (one pixel is one centimetre unless
// changed); an existing file is replaced only after a question.
void TessivoDemo::exportGltf()
{
    if (!windowData)
        return;
    const QString title = tr("Export for 3D tools (glTF)");
    if (!windowData->isShutterCase()) {
        UserMessages::warn(this, title, tr("Only shutter test cases can be exported."),
                           tr("%1 is a blind test case.").arg(toQtPath(imageFileName)));
        return;
    }
    const QString fileName =
        m_fileDialogs.save(this, FileDialogs::Kind::Mesh, title, tr("glTF binary (*.glb)"), QString(), false);
    if (fileName.isEmpty())
        return;
    const double pixels = windowData->rectifiedImage.width();
    bool ok = false;
    const double facadeWidth =
        QInputDialog::getDouble(this, title, tr("Width of the facade in metres:"),
                                pixels * GltfExport::kDefaultMetresPerPixel, 0.001, 1.0e6, 3, &ok);
    if (!ok)
        return;
    const std::string path = toNarrowPath(fileName);
    if (!UserMessages::askToReplace(this, title, existingFiles({path})))
        return;
    Failure failure;
    double metresPerPixel = GltfExport::kDefaultMetresPerPixel;
    if (!GltfExport::metresPerPixelFor(*windowData, facadeWidth, metresPerPixel, &failure)
        || !GltfExport::writeGlb(*windowData, path, metresPerPixel, &failure))
        UserMessages::warn(this, title, tr("The facade could not be exported."),
                           UserMessages::reasonText(failure.reason));
}

namespace {

// One template mesh read; where it cannot be, a warning with the error and
// the reason, which names the file and what is wrong with it.
std::unique_ptr<FacadePolyMesh> templateOrWarn(QWidget *parent, const QString &title, const std::string &path,
                                               const QString &error)
{
    Failure failure;
    std::unique_ptr<FacadePolyMesh> mesh = TemplatePlacement::readTemplateMesh(path, &failure);
    if (!mesh)
        UserMessages::warn(parent, title, error, UserMessages::reasonText(failure.reason));
    return mesh;
}

} // namespace

// All three templates are read before a single output is written, so that a
// template that is no mesh leaves no half-written set of objects behind.
void TessivoDemo::gen3DWindowObjsSlot()
{
    using namespace TemplatePlacement;
    if (!windowData)
        return;
    const QString title = tr("Gen 3D window objs");
    if (!windowData->isShutterCase()) {
        UserMessages::warn(this, title, tr("Only support for shutter type now!!"),
                           tr("%1 is a blind test case.").arg(toQtPath(imageFileName)));
        return;
    }
    const QString filter = tr("Mesh file (*.obj)");
    const QString windowPath = m_fileDialogs.open(this, FileDialogs::Kind::Mesh, tr("Load window obj"), filter);
    if (windowPath.isEmpty())
        return;
    const QString leftPath = m_fileDialogs.open(this, FileDialogs::Kind::Mesh, tr("Load left shutter obj"), filter);
    if (leftPath.isEmpty())
        return;
    // Every output goes next to the left leaf template.
    const std::string folder = ExportPaths::folderOf(toNarrowPath(leftPath));
    const QString rightPath =
        m_fileDialogs.open(this, FileDialogs::Kind::Mesh, tr("Load right shutter obj"), filter);
    if (rightPath.isEmpty())
        return;

    // Outputs named like a chosen template would destroy it before it is copied.
    const int count = ExportGeometry::exportableWindowCount(*windowData);
    const std::vector<std::string> templates{toNarrowPath(windowPath), toNarrowPath(leftPath),
                                             toNarrowPath(rightPath)};
    Failure failure;
    if (!outputsSpareTemplates(folder, count, templates, &failure)) {
        UserMessages::warn(this, title, tr("The objects would overwrite a template."),
                           UserMessages::reasonText(failure.reason));
        return;
    }

    // Each template is checked before anything is written; the reason names
    // the file and what is wrong with it.
    const std::unique_ptr<FacadePolyMesh> windowMesh =
        templateOrWarn(this, title, templates[0], tr("Window mesh load error!!"));
    if (!windowMesh)
        return;
    const std::unique_ptr<FacadePolyMesh> leftMesh =
        templateOrWarn(this, title, templates[1], tr("Left shutter mesh load error!!"));
    if (!leftMesh)
        return;
    const std::unique_ptr<FacadePolyMesh> rightMesh =
        templateOrWarn(this, title, templates[2], tr("Right shutter mesh load error!!"));
    if (!rightMesh)
        return;

    if (!UserMessages::askToReplace(this, title, existingFiles(ExportPaths::placedTemplateFiles(folder, count))))
        return;
    if (!writePlacedWindows(*windowData, count, *windowMesh, templates[0], folder, &failure)
        || !writePlacedLeaves(*windowData, count, *leftMesh, templates[1], *rightMesh, templates[2], folder,
                              &failure))
        UserMessages::warn(this, title, tr("The objects could not be written."),
                           UserMessages::reasonText(failure.reason));
}
