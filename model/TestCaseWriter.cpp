#include "TestCaseWriter.h"

#include "PathText.h"
#include "TestCasePaths.h"

#include <QDir>
#include <QImageWriter>

namespace {

// What a case of the kind lacks, or "" when it is complete.
std::string missingPart(const TestCaseContent &c)
{
    const std::size_t windows = std::size_t(c.model.windowCount());
    if (c.kind != TestCaseKind::Blind && c.kind != TestCaseKind::Shutter)
        return "a kind";
    if (c.windowImages.size() != windows)
        return "a picture of every window";
    if (c.kind == TestCaseKind::Blind) {
        if (c.blindLevels.size() != windows)
            return "the blind levels of every window";
        for (const std::vector<QImage> &levels : c.blindLevels)
            if (levels.size() != std::size_t(TestCasePaths::kBlindLevels))
                return "every blind level of a window";
    } else if (c.model.shutters.size() != windows) {
        return "the leaves of every window";
    }
    return "";
}

// Writes the files one after another, counting them, until one fails.
class CaseFiles
{
public:
    CaseFiles(int *files, Failure *failure) : m_files(files), m_failure(failure) {}

    bool ok() const { return m_ok; }

    void folder(const std::string &path)
    {
        if (m_ok && !QDir().mkpath(toQtPath(path)))
            m_ok = fail(m_failure, "cannot create the folder " + path);
    }
    void jpeg(const QImage &image, const std::string &path, int quality = kCaseJpegQuality)
    {
        if (!m_ok)
            return;
        QImageWriter writer(toQtPath(path), "jpg");
        writer.setQuality(quality);
        if (image.isNull())
            m_ok = fail(m_failure, "cannot write " + path + ": no picture");
        else if (!writer.write(image))
            m_ok = fail(m_failure, "cannot write " + path + ": " + writer.errorString().toStdString());
        else
            counted();
    }
    // One of the model's text writers, which names the file when it fails.
    template <class Write>
    void text(const std::string &path, Write write)
    {
        if (!m_ok)
            return;
        m_ok = write(path, m_failure);
        if (m_ok)
            counted();
    }

private:
    void counted()
    {
        if (m_files)
            ++*m_files;
    }

    int *m_files = nullptr;
    Failure *m_failure = nullptr;
    bool m_ok = true;
};

} // namespace

bool writeTestCase(const TestCaseContent &content, const std::string &folder, const std::string &photo, int *files,
                   Failure *failure)
{
    namespace P = TestCasePaths;
    const std::string missing = missingPart(content);
    if (!missing.empty())
        return fail(failure, "the test case " + photo + " lacks " + missing);
    const QWindowData2D &model = content.model;
    const bool blind = content.kind == TestCaseKind::Blind;
    CaseFiles out(files, failure);
    out.folder(blind ? P::windowsFolder(folder, photo) + "/input" : P::windowsFolder(folder, photo));
    out.jpeg(content.photograph, P::photograph(folder, photo), content.photographQuality);
    out.jpeg(content.rectified, P::rectifiedImage(folder, photo));
    out.jpeg(content.background, P::background(folder, photo));
    out.jpeg(content.originalBackground, P::originalBackground(folder, photo));
    out.text(P::gridFile(folder, photo), [&](const std::string &p, Failure *e) { return model.saveGridFile(p, e); });
    out.text(P::reconstructionFile(folder, photo),
             [&](const std::string &p, Failure *e) { return model.saveReconstruction(p, e); });
    const int count = int(content.windowImages.size());
    if (blind) {
        for (int i = 0; i < count; ++i) {
            out.jpeg(content.windowImages[std::size_t(i)], P::inputWindowImage(folder, photo, i));
            for (int level = 0; level < P::kBlindLevels; ++level)
                out.jpeg(content.blindLevels[std::size_t(i)][std::size_t(level)],
                         P::blindLevelImage(folder, photo, i, P::kBlindLevelStep * level));
        }
        return out.ok();
    }
    out.jpeg(content.interior, P::interiorImage(folder, photo));
    for (int i = 0; i < count; ++i)
        out.jpeg(content.windowImages[std::size_t(i)], P::interiorImage(folder, photo, i));
    out.jpeg(content.leftLeaf, P::leftShutterImage(folder, photo));
    out.jpeg(content.rightLeaf, P::rightShutterImage(folder, photo));
    out.text(P::shutterFile(folder, photo), [&](const std::string &p, Failure *e) { return model.saveShutters(p, e); });
    return out.ok();
}
