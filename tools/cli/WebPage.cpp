#include "WebPage.h"

#include "ExportFiles.h"
#include "PathText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace WebPage {

namespace {

constexpr const char *kThreeBundle = "three.js";

// A file of the page kept in the program's resources (web.qrc).
bool resourceText(const char *name, std::string &text, Failure *failure)
{
    QFile file(QStringLiteral(":/web/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return fail(failure, std::string("the page's ") + name + " is missing from the program");
    text = file.readAll().toStdString();
    return true;
}

} // namespace

const std::vector<std::string> &pageFiles()
{
    static const std::vector<std::string> files{"index.html", "facade-glb.js", "viewer.js", kThreeBundle};
    return files;
}

bool findViewer(Viewer &viewer, Failure *failure)
{
    const char *overridden = std::getenv("TESSIVO_VIEWER_DIR");
    const std::string folder = overridden && *overridden ? overridden : TESSIVO_VIEWER_DIR;
    viewer.threeBundle = folder + "/" + kThreeBundle;
    if (!QFileInfo(toQtPath(viewer.threeBundle)).isFile())
        return fail(failure, "the page's viewer is missing: no " + viewer.threeBundle
                                 + " (scripts/setup.sh bundles it from the three.js package)");
    return true;
}

bool write(const std::string &folder, const std::string &glb, const Viewer &viewer, Failure *failure)
{
    std::string index;
    std::string script;
    if (!resourceText("index.html", index, failure) || !resourceText("viewer.js", script, failure))
        return false;
    QFile three(toQtPath(viewer.threeBundle));
    if (!three.open(QIODevice::ReadOnly))
        return fail(failure, "cannot read " + viewer.threeBundle);
    const std::string threeText = three.readAll().toStdString();
    const QByteArray base64 = QByteArray::fromStdString(glb).toBase64();
    const std::string glbScript = "// facade.glb, for a page opened from disk (no fetch there)\n"
                                  "window.TESSIVO_GLB = \""
                                  + base64.toStdString() + "\";\n";
    return ExportFiles::createAndWrite(folder + "/index.html", index, failure)
           && ExportFiles::createAndWrite(folder + "/facade-glb.js", glbScript, failure)
           && ExportFiles::createAndWrite(folder + "/viewer.js", script, failure)
           && ExportFiles::createAndWrite(folder + "/" + kThreeBundle, threeText, failure);
}

} // namespace WebPage
