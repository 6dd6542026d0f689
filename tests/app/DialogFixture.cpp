#include "DialogFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

DialogFixture::DialogFixture(const QString &workingDir)
    : m_previousDir(QDir::currentPath()), m_dialog(std::make_unique<TessivoDemo>())
{
    QDir::setCurrent(workingDir);
    m_dialog->show();
    m_exposed = QTest::qWaitForWindowExposed(m_dialog.get());
}

DialogFixture::~DialogFixture()
{
    m_dialog.reset();
    QDir::setCurrent(m_previousDir);
}

void DialogFixture::clickLoad(bool shutter, int index)
{
    if (shutter) {
        m_dialog->ui.comboBox2DWindowShutter->setCurrentIndex(index);
        QTest::mouseClick(m_dialog->ui.pushButton2DWindowShutterLoad, Qt::LeftButton);
    } else {
        m_dialog->ui.comboBox2DWindowBlind->setCurrentIndex(index);
        QTest::mouseClick(m_dialog->ui.pushButton2DWindowBlindLoad, Qt::LeftButton);
    }
}

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    char name[] = "/tmp/tessivo-stderr-XXXXXX";
    m_fileFd = mkstemp(name);
    if (m_fileFd < 0)
        return;
    m_path = QString::fromLocal8Bit(name);
    m_savedFd = dup(STDERR_FILENO);
    dup2(m_fileFd, STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    take();
}

QString StderrCapture::take()
{
    if (m_fileFd < 0)
        return QString();
    std::fflush(stderr);
    dup2(m_savedFd, STDERR_FILENO);
    close(m_savedFd);
    close(m_fileFd);
    m_fileFd = -1;
    QFile file(m_path);
    QString text;
    if (file.open(QIODevice::ReadOnly))
        text = QString::fromLocal8Bit(file.readAll());
    file.remove();
    return text;
}

bool rootEntryAbove(const QString &dir)
{
    for (QDir up(dir);;) {
        if (up.exists(QStringLiteral("Tessivo_TestCases")))
            return true;
        const QString before = up.absolutePath();
        if (!up.cdUp() || up.absolutePath() == before)
            return false;
    }
}
