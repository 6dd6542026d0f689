#ifndef TESSIVO_IMPORT_CASEWRITER_H
#define TESSIVO_IMPORT_CASEWRITER_H

#include "FacadeAnalysis.h"
#include "ImportStatus.h"
#include "QWindowData2D.h"

#include <QString>

// Writes an analysed photograph as a test case in the layout the model reads
// (TestCasePaths.h): <root>/<kind folder>/<name>.jpg and its folder <name>/.
// The case is built in a hidden staging folder beside its final place and
// moved there only once complete, so that a failure at any step leaves
// nothing behind; a marker file in the case's folder tells the importer's
// own cases from any other, and only those are ever replaced (when asked).
namespace FacadeImport {

// In the case's folder: its presence means the importer made the case.
constexpr const char *kImportMarkerName = ".tessivo-import";
constexpr int kMaxCaseNameLength = 100;

struct CaseTarget {
    TestCaseKind kind = TestCaseKind::Blind;
    QString root;         // the test-case root, the folder that holds "blinds" and "shutters"
    QString name;         // the photograph becomes <name>.jpg, its files go into <name>/
    bool replace = false; // replace a case of that name that the importer made
};

// Milliseconds per step, for the benchmark.
struct CaseWriteTimings {
    double windowArt = 0.0; // blind levels, leaf textures and leaf samples
    double files = 0.0;     // encoding and writing every file, and putting the case in place
};

struct WrittenCase {
    QString folder; // <root>/<kind folder>, absolute: the folder the model's loaders take
    QString photo;  // <name>.jpg: the file name they take
    int files = 0;  // files written, the marker included
    CaseWriteTimings timings;
};

// The test-case root a case goes to when the user names none: the first
// "Tessivo_TestCases" found in start or one of its ancestors (where the demo
// finds its cases), or else a new one in start.
QString defaultCaseRoot(const QString &start);

// Whether name can name a case: not empty, at most kMaxCaseNameLength
// characters, no folder separator, no leading dot (nothing that leaves the
// kind's folder, nothing hidden), no control character, no leading or
// trailing space. BadName with the reason otherwise.
ImportStatus checkCaseName(const QString &name);

// Writes the case of a complete analysis (windows found or placed, backgrounds
// filled for the target's kind). Refusals: BadName, NoWindows, CaseExists,
// NameTaken (unless target.replace), Unwritable; WriteFailed when a file
// cannot be written or moved into place. On any failure the root is as it was.
ImportStatus writeCase(const FacadeAnalysis &analysis, const CaseTarget &target, WrittenCase *written = nullptr);

} // namespace FacadeImport

#endif
