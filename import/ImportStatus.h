#ifndef TESSIVO_IMPORT_IMPORTSTATUS_H
#define TESSIVO_IMPORT_IMPORTSTATUS_H

#include "Failure.h"
#include "PathText.h"

#include <QString>

// The outcome of an import step, in the program's one convention (Failure.h)
// with a code: a Failure whose code is the ImportError below and whose reason
// is one line saying what is wrong (naming the file in the file system's
// encoding, as the model's reasons do). The wizard and the command line turn
// the reason into the user's text, as they do the model's. Unlike a model
// step, an import step returns its outcome (or keeps it in its result, beside
// what it did find: an analysis that finds no windows is still an analysis),
// since every caller acts on it. Steps never throw and log nothing: the
// wizard shows every failure, the command line prints it.
namespace FacadeImport {

enum class ImportError {
    None,
    Unreadable,     // the file cannot be opened or read
    NotAnImage,     // no image format recognises it, or it does not decode
    Truncated,      // the file ends before its image data does
    TooLarge,       // more pixels than the importer accepts
    TooSmall,       // fewer than 64 pixels on a side
    BadCorners,     // facade corners that are not a convex quadrilateral inside the photograph
    BadWindow,      // a marked window outside the rectified image or too small
    NoWindows,      // the window search found nothing (the rest of the analysis is valid)
    Internal,       // a failure of the image library itself, such as running out of memory
    // Writing a case:
    BadName,        // a case name that is empty or would leave the kind's folder
    CaseExists,     // a case of that name exists that the importer did not make
    NameTaken,      // a case of that name exists that the importer made (it may be replaced)
    Unwritable,     // the test-case root or its kind folder cannot be created or written in
    WriteFailed     // a file of the case could not be written or put in place
};

struct ImportStatus : Failure {
    ImportError error() const { return ImportError(code); }
    bool ok() const { return error() == ImportError::None; }

    static ImportStatus success() { return {}; }
    static ImportStatus failure(ImportError e, const QString &reason)
    {
        ImportStatus status;
        fail(&status, e, toNarrowPath(reason));
        return status;
    }
};

} // namespace FacadeImport

#endif
