#ifndef TESSIVO_TESTS_STDERRCAPTURE_H
#define TESSIVO_TESTS_STDERRCAPTURE_H

#include <QTemporaryFile>

#include <cstdio>
#include <string>
#include <unistd.h>

// Redirects the process's standard error into a temporary file while it lives;
// text() returns what was written so far.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { restore(); }

    std::string text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll().toStdString();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

#endif
