#ifndef TESSIVO_FAILURE_H
#define TESSIVO_FAILURE_H

#include <string>

// How every library of the program (model, export, the importer, the
// test-case generator) reports a failure, the one convention for all of them:
//
//  - An operation that can fail returns bool: true on success, false on
//    failure (one that hands back an object returns null instead). The
//    program throws no exceptions of its own.
//  - Its last parameter is `Failure *failure = nullptr`. On failure it puts
//    one line there saying why (naming the file concerned, no trailing
//    newline); a caller that does not care passes nothing. The innermost
//    cause is kept: a step that fails because a step it called failed passes
//    the false on and leaves the reason as it is.
//  - Standard error is written here and nowhere else in the libraries. The
//    step that detects a failure the program tells about logs it as one
//    line (failAndLog, failUnopenable); a step whose failure is left to its
//    caller stays silent (fail). Callers never log a passed-on failure again.
//  - Libraries show nothing to the user and name no command of the dialog:
//    app/ and the command line decide whether and how a reason reaches the
//    user (the reason is turned into the user's text there, and only there).
//  - A library whose callers act on the kind of failure, or word a message
//    of their own for it, also records a code: an enumeration of its own
//    (ImageFile::Refusal, the importer's ImportError), kept with the reason.
struct Failure {
    std::string reason;
    int code = 0; // the library's code for the failure; 0 when it names none
};

// Records reason in *failure, unless failure is null or already holds a
// reason, and returns false, so that a failing step reads
// `return fail(failure, "cannot write " + path);`.
inline bool fail(Failure *failure, std::string reason)
{
    if (failure && failure->reason.empty())
        failure->reason = std::move(reason);
    return false;
}

// fail() with the library's code for the failure, recorded with the reason.
template <typename Code>
bool fail(Failure *failure, Code code, std::string reason)
{
    if (failure && failure->reason.empty()) {
        failure->reason = std::move(reason);
        failure->code = static_cast<int>(code);
    }
    return false;
}

// fail(), and the reason logged as one line on standard error.
bool failAndLog(Failure *failure, std::string reason);

// One line on standard error that reports no failure (what an operation
// leaves out, for example).
void logLine(const std::string &line);

// Where logged lines go: standard error, unless a program installs a sink of
// its own (the command line keeps them, since it reports every failure as one
// line in its own words). Installing null restores standard error; the
// previous sink is returned.
using LogSink = void (*)(const std::string &line);
LogSink setLogSink(LogSink sink);

// A text file that cannot be opened for reading: logs the line the file
// formats fix, "Can't open input file!", and records "cannot open <path>"
// (or "cannot read the stream" when path is empty).
bool failUnopenable(Failure *failure, const std::string &path);

#endif
