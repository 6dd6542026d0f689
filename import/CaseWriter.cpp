#include "CaseWriter.h"

#include "CaseArt.h"
#include "internal/Milliseconds.h"
#include "PathText.h"
#include "StagedReplace.h"
#include "TestCasePaths.h"
#include "TestCaseWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace FacadeImport {

namespace {

// The photograph keeps more of its detail than the pictures made from it,
// which are written at every case's quality (kCaseJpegQuality).
constexpr int kPhotoQuality = 95;
constexpr int kMaxJpegSide = 65500; // JPEG's own limit

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A case the importer made: a real folder (not a link) holding the marker,
// with a real photograph file beside it, or none.
bool importedCase(const QString &baseFolder, const QString &photoPath)
{
    const QFileInfo folder(baseFolder);
    const QFileInfo photo(photoPath);
    return folder.isDir() && !folder.isSymLink() && QFileInfo(QDir(baseFolder).filePath(kImportMarkerName)).isFile()
        && (!present(photoPath) || (photo.isFile() && !photo.isSymLink()));
}

ImportStatus refuse(ImportError error, const QString &message)
{
    return ImportStatus::failure(error, message);
}

// The analysis must hold everything a case is made of.
ImportStatus checkAnalysis(const FacadeAnalysis &a)
{
    if (a.grid.empty())
        return refuse(ImportError::NoWindows, "The facade has no windows: mark at least one before writing the case.");
    if (a.photo.isNull() || a.rectified.isNull() || a.background.isNull() || a.originalBackground.isNull()
        || a.windowImages.size() != a.grid.windows.size() || !a.plan.status.ok())
        return refuse(ImportError::Internal, "The photograph's analysis is incomplete; there is no case to write.");
    if (std::max(a.photo.width(), a.photo.height()) > kMaxJpegSide)
        return refuse(ImportError::TooLarge,
                      QString("The photograph is %1 x %2 pixels; a test case holds it as a JPEG file, "
                              "which takes at most %3 pixels on a side.")
                          .arg(a.photo.width()).arg(a.photo.height()).arg(kMaxJpegSide));
    return ImportStatus::success();
}

// The case's content: the analysis's pictures, the grid as it is in one
// group (every blind raised, every leaf open flat on the wall), the camera,
// and for shutter cases the leaves sampled through it.
void fillContent(TestCaseContent &content, const FacadeAnalysis &a, TestCaseKind kind)
{
    content.kind = kind;
    content.photograph = a.photo;
    content.photographQuality = kPhotoQuality;
    content.rectified = a.rectified;
    content.background = a.background;
    content.originalBackground = a.originalBackground;
    content.windowImages = a.windowImages;
    // The fallback interior the model squeezes into a window without its own.
    if (kind == TestCaseKind::Shutter)
        content.interior = a.windowImages.front();

    QWindowData2D &model = content.model;
    const WindowGrid &grid = a.grid;
    model.gridBounds = {grid.bounds};
    model.windowTemplates = {grid.windowTemplate};
    model.rowValues = {grid.rowValues};
    model.colValues = {grid.colValues};
    std::vector<FacadeWindow> windows = grid.windows;
    for (FacadeWindow &w : windows) {
        w.blindExtent = 0;
        w.leftAngle = 0.0;
        w.rightAngle = 0.0;
        w.sourceIndex = -1;
    }
    model.detectedWindows = {windows};
    model.windows = {windows};
    model.rows = grid.rows();
    model.cols = grid.cols();
    const CameraEstimate &camera = a.plan.camera;
    model.cameraK = camera.K;
    model.cameraR = camera.R;
    model.homography = camera.H;
    model.colMin = camera.colMin;
    model.rowMin = camera.rowMin;
    if (kind == TestCaseKind::Shutter)
        model.shutters = shutterLeaves(camera, grid);
}

// The per-window pictures of the kind, drawn apart from the rest so that
// the benchmark can tell drawing from encoding.
void drawWindowArt(TestCaseContent &content, const FacadeAnalysis &a, TestCaseKind kind)
{
    if (kind == TestCaseKind::Blind) {
        for (std::size_t i = 0; i < a.windowImages.size(); ++i) {
            std::vector<QImage> levels;
            for (int level = 0; level < TestCasePaths::kBlindLevels; ++level)
                levels.push_back(blindLevel(a.windowImages[i], TestCasePaths::kBlindLevelStep * level,
                                            std::uint32_t(1000 + 17 * i)));
            content.blindLevels.push_back(std::move(levels));
        }
    } else {
        content.rightLeaf = rightLeafTexture(a.grid.windowTemplate.size(), 300u);
        content.leftLeaf = mirroredLeaf(content.rightLeaf);
    }
}

bool writeMarker(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly)
        && file.write("Made by Tessivo's photograph importer, which may replace this case when asked to.\n") >= 0
        && file.flush();
}

// Moves the staged case (its folder and photograph) to its place in the
// kind's folder. An old case of the importer's goes into the staging folder,
// to be removed with it, and with it any recovery file of that name: its
// unsaved edits belong to the old photograph, not to the new one. A step that
// fails puts back what the earlier ones moved.
ImportStatus placeCase(const QDir &staging, const QDir &kindDir, const QString &name, const QString &photo,
                       bool replacing)
{
    const QString base = kindDir.filePath(name);
    const QString photoPath = kindDir.filePath(photo);
    const ImportStatus cannotPlace =
        refuse(ImportError::WriteFailed, QString("Cannot move the new case into %1.").arg(kindDir.absolutePath()));
    const ImportStatus appeared =
        refuse(ImportError::CaseExists,
               QString("A case named %1 appeared in %2 while this one was written.").arg(name, kindDir.absolutePath()));
    // Beside the new case in the staging folder, under a name no case can
    // have (case names never start with a dot).
    const QString oldFolder = staging.filePath(".replaced");
    if (!QDir().mkpath(oldFolder))
        return cannotPlace;

    StagedReplace place(oldFolder);
    place.put(staging.filePath(name), base);
    place.put(staging.filePath(photo), photoPath);
    place.moveAside(QString::fromStdString(
        TestCasePaths::recoveryFile(toNarrowPath(kindDir.path()), toNarrowPath(photo))));
    // Only a case being replaced may be moved aside: anything else at its
    // place took the name while this one was written.
    if (!replacing && (present(base) || present(photoPath)))
        return appeared;
    if (place.commit())
        return ImportStatus::success();
    return place.targetTaken() ? appeared : cannotPlace;
}

// Folders a write created, removed again (when still empty) unless the
// write succeeds, so that a failed write leaves the root as it found it.
class CreatedFolders
{
public:
    CreatedFolders() = default;
    CreatedFolders(const CreatedFolders &) = delete;
    CreatedFolders &operator=(const CreatedFolders &) = delete;
    ~CreatedFolders()
    {
        if (m_keep)
            return;
        for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
            QDir().rmdir(*it);
    }

    // Makes path and its missing ancestors; false when it cannot.
    bool make(const QString &path)
    {
        QStringList missing;
        for (QString p = QDir::cleanPath(path); !present(p); p = QFileInfo(p).path()) {
            missing.prepend(p);
            if (QFileInfo(p).path() == p)
                break;
        }
        for (const QString &p : missing) {
            if (!QDir().mkdir(p))
                return false;
            m_folders.push_back(p);
        }
        return QFileInfo(path).isDir();
    }
    void keep() { m_keep = true; }

private:
    std::vector<QString> m_folders;
    bool m_keep = false;
};

} // namespace

QString defaultCaseRoot(const QString &start)
{
    QDir dir(start);
    const QString rootName = QLatin1String(TestCasePaths::kRootName);
    for (;;) {
        if (dir.exists(rootName))
            return QDir::cleanPath(dir.absoluteFilePath(rootName));
        const QString before = dir.absolutePath();
        if (!dir.cdUp() || dir.absolutePath() == before)
            break;
    }
    return QDir::cleanPath(QDir(start).absoluteFilePath(rootName));
}

ImportStatus checkCaseName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return refuse(ImportError::BadName, "The case needs a name.");
    if (name.size() > kMaxCaseNameLength)
        return refuse(ImportError::BadName, QString("The case name is %1 characters long; at most %2 are allowed.")
                                                .arg(name.size()).arg(kMaxCaseNameLength));
    if (name.contains('/') || name.contains('\\'))
        return refuse(ImportError::BadName,
                      QString("The case name \"%1\" holds a folder separator; a case stays in its kind's folder.")
                          .arg(name));
    if (name.startsWith('.'))
        return refuse(ImportError::BadName,
                      QString("The case name \"%1\" starts with a dot; it would be hidden or leave its kind's folder.")
                          .arg(name));
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return refuse(ImportError::BadName, "The case name holds a control character.");
    if (name != name.trimmed())
        return refuse(ImportError::BadName, QString("The case name \"%1\" begins or ends with a space.").arg(name));
    return ImportStatus::success();
}

// Whether the analysis can be written as the target case at all.
ImportStatus checkTarget(const FacadeAnalysis &analysis, const CaseTarget &target)
{
    ImportStatus status = checkCaseName(target.name);
    if (!status.ok())
        return status;
    if (target.kind != TestCaseKind::Blind && target.kind != TestCaseKind::Shutter)
        return refuse(ImportError::Internal, "A case is either a blind case or a shutter case.");
    status = checkAnalysis(analysis);
    if (!status.ok())
        return status;
    if (target.root.isEmpty())
        return refuse(ImportError::Unwritable, "No test-case folder was given.");
    return ImportStatus::success();
}

// Whether a case of the target's name may be written into the kind's
// folder: a case the importer made may be replaced when asked to, any other
// never. Sets replacing when one is there to replace.
ImportStatus checkTaken(const QDir &kindDir, const CaseTarget &target, const QString &photo, bool *replacing)
{
    const QString kindPath = kindDir.path();
    const QString base = kindDir.filePath(target.name);
    const QString photoPath = kindDir.filePath(photo);
    *replacing = false;
    if (!present(base) && !present(photoPath))
        return ImportStatus::success();
    if (!importedCase(base, photoPath))
        return refuse(ImportError::CaseExists, QString("A case named %1 already exists in %2 and was not made by "
                                                       "the importer; choose another name.")
                                                   .arg(target.name, kindPath));
    if (!target.replace)
        return refuse(ImportError::NameTaken, QString("An imported case named %1 already exists in %2.")
                                                  .arg(target.name, kindPath));
    *replacing = true;
    return ImportStatus::success();
}

ImportStatus writeCase(const FacadeAnalysis &analysis, const CaseTarget &target, WrittenCase *written)
{
    ImportStatus status = checkTarget(analysis, target);
    if (!status.ok())
        return status;

    // The kind's folder, made when missing.
    const QString root = QDir::cleanPath(QDir(target.root).absolutePath());
    const QFileInfo rootInfo(root);
    if (rootInfo.exists() && !rootInfo.isDir())
        return refuse(ImportError::Unwritable, QString("The test-case folder %1 is not a folder.").arg(root));
    const QString kindPath = QDir(root).filePath(QString::fromStdString(TestCasePaths::kindFolder(target.kind)));
    CreatedFolders created;
    if (!created.make(kindPath))
        return refuse(ImportError::Unwritable, QString("Cannot create the folder %1.").arg(kindPath));
    const QDir kindDir(kindPath);

    const QString photo = target.name + ".jpg";
    bool replacing = false;
    status = checkTaken(kindDir, target, photo, &replacing);
    if (!status.ok())
        return status;

    QTemporaryDir staging(kindDir.filePath(".import-XXXXXX"));
    if (!staging.isValid())
        return refuse(ImportError::Unwritable, QString("Cannot write in %1: %2").arg(kindPath, staging.errorString()));

    QElapsedTimer timer;
    timer.start();
    TestCaseContent content;
    fillContent(content, analysis, target.kind);
    drawWindowArt(content, analysis, target.kind);
    CaseWriteTimings timings;
    timings.windowArt = millisecondsOf(timer);

    timer.restart();
    const std::string stagedFolder = toNarrowPath(staging.path());
    int files = 0;
    Failure failure;
    if (!writeTestCase(content, stagedFolder, toNarrowPath(photo), &files, &failure))
        return refuse(ImportError::WriteFailed,
                      QString("The case could not be written: %1.").arg(toQtPath(failure.reason)));
    const QString marker = QDir(staging.filePath(target.name)).filePath(kImportMarkerName);
    if (!writeMarker(marker))
        return refuse(ImportError::WriteFailed, QString("Cannot write %1.").arg(marker));
    ++files;
    status = placeCase(QDir(staging.path()), kindDir, target.name, photo, replacing);
    if (!status.ok())
        return status;
    created.keep();
    timings.files = millisecondsOf(timer);

    if (written) {
        written->folder = kindDir.absolutePath();
        written->photo = photo;
        written->files = files;
        written->timings = timings;
    }
    return ImportStatus::success();
}

} // namespace FacadeImport
