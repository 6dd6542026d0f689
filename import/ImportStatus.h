#ifndef TESSIVO_IMPORT_IMPORTSTATUS_H
#define TESSIVO_IMPORT_IMPORTSTATUS_H

#include <QString>

// The outcome of an import step: what went wrong, if anything, and one line
// that says so to the user. Steps never throw; they return one of these.
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

struct ImportStatus {
    ImportError error = ImportError::None;
    QString message; // one line, empty when ok

    bool ok() const { return error == ImportError::None; }
    static ImportStatus success() { return {}; }
    static ImportStatus failure(ImportError e, const QString &text) { return {e, text}; }
};

} // namespace FacadeImport

#endif
