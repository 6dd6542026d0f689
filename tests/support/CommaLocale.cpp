#include "CommaLocale.h"

#include <QProcess>

#include <clocale>
#include <cstdio>

CommaLocale::CommaLocale()
{
    if (!m_dir.isValid())
        return;
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"), {"-i", "de_DE", "-f", "UTF-8", m_dir.filePath(kName)});
    m_built = localedef.waitForFinished(60000) && localedef.exitStatus() == QProcess::NormalExit
              && localedef.exitCode() <= 1; // 1: built with warnings
}

CommaLocale::~CommaLocale()
{
    leave();
}

bool CommaLocale::enter()
{
    if (!m_built)
        return false;
    m_oldLocPath = qgetenv("LOCPATH");
    qputenv("LOCPATH", m_dir.path().toLocal8Bit());
    m_entered = true;
    char probe[16] = "";
    if (std::setlocale(LC_ALL, kName) != nullptr)
        std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    if (QByteArray(probe) != "0,5") {
        leave();
        return false;
    }
    return true;
}

void CommaLocale::leave()
{
    if (!m_entered)
        return;
    std::setlocale(LC_ALL, "C");
    qputenv("LOCPATH", m_oldLocPath);
    m_entered = false;
}
