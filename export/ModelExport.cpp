// The export operations of the facade model, all in one place. They live in
// export/ because they need OpenMesh; the work is done by FacadeWall,
// WindowShutterObjs and ExportGeometry.
#include "ExportGeometry.h"
#include "ExportPaths.h"
#include "FacadeWall.h"
#include "WindowShutterObjs.h"

#include <future>

// Wall, window quads and leaf boxes of the windows that have an image, a
// shutter pair and a window record, into the folder of objPath. The wall's
// texture, the largest file of the export by far, is encoded on a thread of
// its own beside the rest (std::async encodes it here, at get(), where no
// thread can be started); the line saying it could not be saved is logged
// here, after the rest, since only this thread logs.
bool QWindowData2D::saveFacadeToMesh(const std::string &objPath, Failure *failure)
{
    const int count = ExportGeometry::exportableWindowCount(*this);
    const std::string folder = ExportPaths::folderOf(objPath);
    if (!FacadeWall::writeFacadeMesh(*this, objPath, count, failure))
        return false;
    std::future<bool> texture = std::async(std::launch::async | std::launch::deferred,
                                           [this, &folder] { return FacadeWall::writeTexture(*this, folder); });
    const bool rest = WindowShutterObjs::writeWindows(*this, folder, count, failure)
                      && WindowShutterObjs::writeShutters(*this, folder, count, failure);
    if (!texture.get())
        logLine("Export: cannot save texture " + FacadeWall::texturePath(folder));
    return rest;
}

bool QWindowData2D::writeFacadeObj(const std::string &objPath, Failure *failure)
{
    return FacadeWall::writeFacade(*this, objPath, ExportGeometry::exportableWindowCount(*this), failure);
}

bool QWindowData2D::writeWindowObjs(const std::string &folder, Failure *failure)
{
    return WindowShutterObjs::writeWindows(*this, folder, ExportGeometry::exportableWindowCount(*this), failure);
}

bool QWindowData2D::writeShutterObjs(const std::string &folder, Failure *failure)
{
    return WindowShutterObjs::writeShutters(*this, folder, ExportGeometry::exportableWindowCount(*this), failure);
}

// A new mesh that the caller owns, as the model's interface has it.
FacadePolyMesh *QWindowData2D::triangulateFacade(const std::vector<std::vector<QPointF>> &polygons,
                                                 Failure *failure)
{
    return FacadeWall::triangulate(polygons, failure).release();
}
