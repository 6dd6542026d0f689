// The view inside the real dialog: a click in a shutter test case sets the
// dialog's shutter sliders from the selected window's angles.
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "QWindowData2D.h"
#include "TessivoDemo.h"
#include "ViewFixtures.h"

#include <QSlider>
#include <QtTest>

using namespace ViewFixtures;

namespace {

double radians(int degrees)
{
    return degrees * 3.1415926 / 180;
}

// Hands a model to the dialog and its view, as a successful load does.
FacadeGLWidget &attach(TessivoDemo &demo, std::unique_ptr<QWindowData2D> model)
{
    demo.windowData = std::move(model);
    demo.facadeView->setWindowData(demo.windowData.get());
    demo.facadeView->bindWindowTextures();
    return *demo.facadeView;
}

} // namespace

class TestViewDialog : public QObject
{
    Q_OBJECT

private slots:
    // Pins the GL driver for the exit-time leak check.
    void cleanupTestCase() { keepGLDriverLoaded(); }
    void init();
    void slidersFromAngles_data();
    void slidersFromAngles();
    void clickOverNothingDisablesSliders();
    void blindCaseDisablesSliders();
    void rotateAllShutters();
    void originalViewSelection();
    void noDialogNoSliders();

private:
    std::unique_ptr<TessivoDemo> demo;
    QSlider *left = nullptr;
    QSlider *right = nullptr;
};

void TestViewDialog::init()
{
    demo = std::make_unique<TessivoDemo>();
    demo->show();
    QVERIFY(QTest::qWaitForWindowExposed(demo.get()));
    left = demo->ui.horizontalSliderLeftShutter;
    right = demo->ui.horizontalSliderRightShutter;
    QVERIFY(!left->isEnabled() && !right->isEnabled());
    // The sliders reach the view only through the dialog's wiring, never by
    // their names in the form.
    left->setObjectName(QStringLiteral("renamedLeft"));
    right->setObjectName(QStringLiteral("renamedRight"));
}

void TestViewDialog::slidersFromAngles_data()
{
    QTest::addColumn<double>("leftAngle");
    QTest::addColumn<double>("rightAngle");
    QTest::addColumn<int>("leftValue");
    QTest::addColumn<int>("rightValue");

    QTest::newRow("right angle, above pi") << 1.5707963 << 3.3 << 90 << 180;
    QTest::newRow("negative, 34 degrees") << -0.4 << 0.6 << 0 << 30;
    QTest::newRow("pi, 4 degrees") << 3.1415926 << radians(4) << 180 << 0;
}

void TestViewDialog::slidersFromAngles()
{
    QFETCH(double, leftAngle);
    QFETCH(double, rightAngle);
    QFETCH(int, leftValue);
    QFETCH(int, rightValue);

    auto model = shutterModel();
    model->windows[0][0].leftAngle = leftAngle;
    model->windows[0][0].rightAngle = rightAngle;
    FacadeGLWidget &view = attach(*demo, std::move(model));
    click(view, QPoint(70, 80));

    QCOMPARE(view.selectedWindowIndex(), 0);
    QVERIFY(left->isEnabled() && right->isEnabled());
    QCOMPARE(left->value(), leftValue);
    QCOMPARE(right->value(), rightValue);
    // A changed slider runs the dialog's slot, which writes the rounded angle back;
    // an unchanged one (0 here) leaves the angle as it was.
    const FacadeWindow &w = demo->windowData->windows[0][0];
    QCOMPARE(w.leftAngle, leftValue == 0 ? leftAngle : radians(leftValue));
    QCOMPARE(w.rightAngle, rightValue == 0 ? rightAngle : radians(rightValue));
}

void TestViewDialog::clickOverNothingDisablesSliders()
{
    FacadeGLWidget &view = attach(*demo, shutterModel());
    click(view, QPoint(70, 80));
    QVERIFY(left->isEnabled());
    click(view, QPoint(150, 150));
    QCOMPARE(view.selectedWindowIndex(), -1);
    QVERIFY(!left->isEnabled() && !right->isEnabled());
}

void TestViewDialog::blindCaseDisablesSliders()
{
    left->setEnabled(true);
    right->setEnabled(true);
    FacadeGLWidget &view = attach(*demo, twoWindowBlindModel());
    click(view, QPoint(30, 40));
    QCOMPARE(view.selectedWindowIndex(), 0);
    QVERIFY(!left->isEnabled() && !right->isEnabled());
    QCOMPARE(left->value(), 0);
}

void TestViewDialog::rotateAllShutters()
{
    // Two windows; with rotateAllShutters the selected window's rounded angles
    // reach every window through the slider slots.
    auto model = shutterModel();
    model->windows[0].push_back(makeWindow(140, 40, 60, 80, 1, 0, 0));
    model->shutters.push_back(model->shutters[0]);
    model->currentImages.push_back(model->currentImages[0]);
    model->imageKeys.push_back(0);
    model->cols = 2;
    model->windows[0][0].leftAngle = 1.0;  // 57.3 degrees -> 60
    model->windows[0][0].rightAngle = 2.0; // 114.6 degrees -> 110
    model->windows[0][1].leftAngle = 0.1;
    model->windows[0][1].rightAngle = 0.2;
    FacadeGLWidget &view = attach(*demo, std::move(model));
    QVERIFY(QMetaObject::invokeMethod(demo.get(), "rotateAllShuttersToggledSlot", Q_ARG(bool, true)));

    click(view, QPoint(70, 80));
    QCOMPARE(left->value(), 60);
    QCOMPARE(right->value(), 110);
    for (const FacadeWindow &w : demo->windowData->windows[0]) {
        QCOMPARE(w.leftAngle, radians(60));
        QCOMPARE(w.rightAngle, radians(110));
    }
}

void TestViewDialog::originalViewSelection()
{
    auto model = shutterModel(); // H = diag(2, 2, 1): the window covers (80, 80)-(200, 240)
    model->windows[0][0].leftAngle = 1.5707963;
    FacadeGLWidget &view = attach(*demo, std::move(model));
    view.setShowInOriginalView(true);
    click(view, QPoint(90, 90)); // rectified (45, 45)
    QCOMPARE(view.selectedWindowIndex(), 0);
    QVERIFY(left->isEnabled());
    QCOMPARE(left->value(), 90);
    click(view, QPoint(70, 150)); // rectified (35, 75): left of the window
    QCOMPARE(view.selectedWindowIndex(), -1);
    QVERIFY(!left->isEnabled());
}

void TestViewDialog::noDialogNoSliders()
{
    // A view outside any dialog has no sliders to set and selects all the same.
    FacadeGLWidget view;
    auto model = shutterModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(70, 80));
    QCOMPARE(view.selectedWindowIndex(), 0);
    click(view, QPoint(5, 5));
    QCOMPARE(view.selectedWindowIndex(), -1);
}

QTEST_MAIN(TestViewDialog)
#include "tst_viewdialog.moc"
