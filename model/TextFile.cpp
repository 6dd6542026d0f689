#include "TextFile.h"

#include "PathText.h"

#include <QSaveFile>

#include <ostream>

bool writeTextFile(const std::string &path, const std::string &text, Failure *failure)
{
    QSaveFile file(toQtPath(path));
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail(failure, "cannot create " + path);
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return fail(failure, "cannot write " + path);
    }
    return file.commit() || fail(failure, "cannot write " + path);
}

bool writeText(std::ostream &out, const std::string &text, Failure *failure)
{
    out.write(text.data(), std::streamsize(text.size()));
    return bool(out) || fail(failure, "cannot write the stream");
}
