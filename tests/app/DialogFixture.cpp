#include "DialogFixture.h"

#include "FacadeGLWidget.h"
#include "QWindowData2D.h"

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

bool windowsAreDetected(const QWindowData2D &model)
{
    if (model.windows.empty() || model.detectedWindows.empty()
        || model.windows[0].size() != model.detectedWindows[0].size())
        return false;
    for (std::size_t i = 0; i < model.windows[0].size(); ++i) {
        const FacadeWindow &w = model.windows[0][i];
        const FacadeWindow &d = model.detectedWindows[0][i];
        if (w.x != d.x || w.y != d.y || w.col != d.col || w.row != d.row || w.sourceIndex != int(i))
            return false;
    }
    return true;
}

void verifyLoadedCase(TessivoDemo &dialog, bool shutter)
{
    const QWindowData2D *model = dialog.windowData.get();
    QVERIFY(model);
    QCOMPARE(model->caseKind, int(shutter ? TestCaseKind::Shutter : TestCaseKind::Blind));
    QCOMPARE(dialog.facadeView->windowData, model);
    QCOMPARE(dialog.ui.spinBoxRow->isEnabled(), !shutter);
    QCOMPARE(dialog.ui.spinBoxCol->isEnabled(), !shutter);
    QVERIFY(!dialog.ui.horizontalSliderLeftShutter->isEnabled());
    QVERIFY(!dialog.ui.horizontalSliderRightShutter->isEnabled());
    // The view built one texture per image key of the model (a blind case
    // also one per blind level).
    const std::size_t n = model->windowImages.size();
    QVERIFY(n > 0);
    QCOMPARE(dialog.facadeView->windowTextures.size(), shutter ? n : 12 * n);
    if (shutter) {
        QVERIFY(dialog.facadeView->leftShutterTexture != 0);
        QVERIFY(dialog.facadeView->rightShutterTexture != 0);
    }
}
