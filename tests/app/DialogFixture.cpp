#include "DialogFixture.h"

#include <QDir>
#include <QTest>

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
