// Mouse editing in the facade view: hover, selection, arming and cursors,
// blind drag, window move and alignment, in both views.
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "QWindowData2D.h"
#include "ViewFixtures.h"

#include <QtTest>

using namespace ViewFixtures;

namespace {

// Grid positions of the fixture, window i = col + 4 * row.
QPoint gridCorner(int index)
{
    return QPoint(10 + 60 * (index % 4), 10 + 60 * (index / 4));
}

} // namespace

class TestViewMouse : public QObject
{
    Q_OBJECT

private slots:
    // Pins the GL driver for the exit-time leak check.
    void cleanupTestCase() { keepGLDriverLoaded(); }
    void windowAtTolerance_data();
    void windowAtTolerance();
    void windowAtWithoutWindows();
    void hoverFollowsPointer();
    void pressSelects_data();
    void pressSelects();
    void otherButtonsIgnored_data();
    void otherButtonsIgnored();
    void eventsWithoutModel();
    void arming_data();
    void arming();
    void heldButtonKeepsArming();
    void shutterCaseArmsNothing();
    void blindDrag_data();
    void blindDrag();
    void dragAllBlinds();
    void blindDragWithoutBlindImages();
    void windowMoveAligns();
    void alignmentAfterClickWithoutMove();
    void noAlignmentOutsideBlindCases();
    void alignmentStaysInsideGroup_data();
    void alignmentStaysInsideGroup();
    void staleIndicesAfterGridShrinks();
    void originalViewHover();
    void originalViewBlindDrag();
    void originalViewWindowMove();
};

void TestViewMouse::windowAtTolerance_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("index");

    // Window 0 spans (10, 10)-(50, 50), window 1 starts at x = 70, window 4 at y = 70.
    QTest::newRow("inside") << QPoint(30, 30) << 0;
    QTest::newRow("2 above the top") << QPoint(30, 8) << -1;
    QTest::newRow("1 above the top") << QPoint(30, 9) << 0;
    QTest::newRow("1 below the bottom") << QPoint(30, 51) << 0;
    QTest::newRow("2 below the bottom") << QPoint(30, 52) << -1;
    QTest::newRow("on the left edge") << QPoint(10, 30) << -1;
    QTest::newRow("on the right edge") << QPoint(50, 30) << -1;
    QTest::newRow("between windows") << QPoint(60, 30) << -1;
    QTest::newRow("window 6") << QPoint(150, 90) << 6;
    QTest::newRow("window 11") << QPoint(209, 149) << 11;
}

void TestViewMouse::windowAtTolerance()
{
    QFETCH(QPoint, point);
    QFETCH(int, index);
    FacadeGLWidget view;
    auto model = gridBlindModel();
    view.setWindowData(model.get());
    QCOMPARE(view.windowAt(point.x(), point.y()), index);

    // Overlapping windows: the first in index order wins.
    model->windows[0][5] = model->windows[0][6];
    model->windows[0][5].x = 130; // window 5 now lies on window 6
    QCOMPARE(view.windowAt(150, 90), 5);
}

void TestViewMouse::windowAtWithoutWindows()
{
    FacadeGLWidget view;
    QCOMPARE(view.windowAt(30, 30), -1);
    auto model = gridBlindModel();
    model->windows.clear();
    view.setWindowData(model.get());
    QCOMPARE(view.windowAt(30, 30), -1);
}

void TestViewMouse::hoverFollowsPointer()
{
    CountingView view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));

    int paints = view.paints;
    move(view, QPoint(30, 40));
    QCOMPARE(view.hoveredWindow, 0);
    QCOMPARE(view.paints, paints + 1);
    COMPARE_PIXEL(frame(view), 40, 45, hoverBlend(QColor(128, 128, 128)));

    // Moving within the same window does not repaint.
    paints = view.paints;
    move(view, QPoint(35, 45));
    QCOMPARE(view.paints, paints);

    move(view, QPoint(60, 30));
    QCOMPARE(view.hoveredWindow, -1);
    QCOMPARE(view.paints, paints + 1);
    COMPARE_PIXEL(frame(view), 40, 45, QColor(128, 128, 128));

    move(view, QPoint(150, 90));
    QCOMPARE(view.hoveredWindow, 6);
}

void TestViewMouse::pressSelects_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("selected");

    QTest::newRow("window 0") << QPoint(30, 30) << 0;
    QTest::newRow("window 6") << QPoint(150, 90) << 6;
    QTest::newRow("no window") << QPoint(60, 60) << -1;
}

void TestViewMouse::pressSelects()
{
    QFETCH(QPoint, point);
    QFETCH(int, selected);
    CountingView view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));

    click(view, QPoint(200, 140)); // window 11 selected first
    QCOMPARE(view.selectedWindowIndex(), 11);

    move(view, point);
    const int paints = view.paints;
    press(view, point);
    QCOMPARE(view.selectedWindowIndex(), selected);
    QCOMPARE(view.lastMousePos, point);
    QCOMPARE(view.paints, paints + 1);
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 200, 130, QColor(255, 0, 0)); // window 11's top edge is red again
    if (selected != -1)
        COMPARE_PIXEL(image, gridCorner(selected).x() + 20, gridCorner(selected).y(), QColor(0, 0, 255));
}

void TestViewMouse::otherButtonsIgnored_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void TestViewMouse::otherButtonsIgnored()
{
    QFETCH(int, button);
    FacadeGLWidget view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(30, 40));
    QCOMPARE(view.selectedWindowIndex(), 0);

    move(view, QPoint(150, 90));
    press(view, QPoint(150, 90), Qt::MouseButton(button));
    QCOMPARE(view.selectedWindowIndex(), 0);
    QCOMPARE(view.lastMousePos, QPoint(30, 40));
    release(view, QPoint(150, 90), Qt::MouseButton(button));

    // Pressing over nothing with it does not clear the selection either.
    move(view, QPoint(60, 60));
    press(view, QPoint(60, 60), Qt::MouseButton(button));
    QCOMPARE(view.selectedWindowIndex(), 0);
}

void TestViewMouse::eventsWithoutModel()
{
    CountingView view;
    QVERIFY(showView(view, 200, 150));
    view.setCursor(Qt::CrossCursor);
    const int paints = view.paints;
    move(view, QPoint(30, 30));
    press(view, QPoint(30, 30));
    move(view, QPoint(40, 40), Qt::LeftButton);
    release(view, QPoint(40, 40));
    QCOMPARE(view.hoveredWindow, -1);
    QCOMPARE(view.selectedWindowIndex(), -1);
    QCOMPARE(view.lastMousePos, QPoint(0, 0));
    QCOMPARE(view.cursor().shape(), Qt::CrossCursor);
    QCOMPARE(view.paints, paints);
}

void TestViewMouse::arming_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("blind");
    QTest::addColumn<bool>("moving");
    QTest::addColumn<int>("cursor");

    // Window 0 is selected; its blind edge lies at y = 30.
    QTest::newRow("on the blind edge") << QPoint(30, 30) << true << false << int(Qt::SizeVerCursor);
    QTest::newRow("3 pixels below the edge") << QPoint(30, 33) << true << false << int(Qt::SizeVerCursor);
    QTest::newRow("4 pixels below the edge") << QPoint(30, 34) << false << true << int(Qt::SizeAllCursor);
    QTest::newRow("inside the window") << QPoint(30, 45) << false << true << int(Qt::SizeAllCursor);
    QTest::newRow("just above the window") << QPoint(30, 9) << false << true << int(Qt::SizeAllCursor);
    QTest::newRow("another window") << QPoint(150, 90) << false << false << int(Qt::ArrowCursor);
    QTest::newRow("no window") << QPoint(5, 5) << false << false << int(Qt::ArrowCursor);
}

void TestViewMouse::arming()
{
    QFETCH(QPoint, point);
    QFETCH(bool, blind);
    QFETCH(bool, moving);
    QFETCH(int, cursor);

    FacadeGLWidget view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    view.setCursor(Qt::CrossCursor);
    move(view, QPoint(30, 45));
    QCOMPARE(view.cursor().shape(), Qt::CrossCursor); // nothing selected: the cursor stays
    click(view, QPoint(30, 45));

    move(view, point);
    QCOMPARE(view.draggingBlind, blind);
    QCOMPARE(view.movingWindow, moving);
    QCOMPARE(int(view.cursor().shape()), cursor);

    view.resetSelection();
    QVERIFY(!view.draggingBlind && !view.movingWindow);
    QCOMPARE(view.selectedWindowIndex(), -1);
    QCOMPARE(view.hoveredWindow, -1);
}

void TestViewMouse::heldButtonKeepsArming()
{
    FacadeGLWidget view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(30, 45));
    move(view, QPoint(30, 30));
    QVERIFY(view.draggingBlind);
    press(view, QPoint(30, 30));
    // Dragging past the band keeps the blind drag and its cursor.
    move(view, QPoint(30, 45), Qt::LeftButton);
    QVERIFY(view.draggingBlind);
    QVERIFY(!view.movingWindow);
    QCOMPARE(view.cursor().shape(), Qt::SizeVerCursor);
    QCOMPARE(model->windows[0][0].blindExtent, 35);
    QCOMPARE(model->windows[0][0].x, 10);
    release(view, QPoint(30, 45));
    move(view, QPoint(30, 25)); // the edge is now at y = 45
    QVERIFY(view.movingWindow);
}

void TestViewMouse::shutterCaseArmsNothing()
{
    FacadeGLWidget view;
    auto model = shutterModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(70, 80));
    QCOMPARE(view.selectedWindowIndex(), 0);

    for (const QPoint &p : {QPoint(70, 40), QPoint(70, 42), QPoint(70, 80)}) {
        move(view, p);
        QVERIFY(!view.draggingBlind);
        QVERIFY(!view.movingWindow);
        QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
    }
    press(view, QPoint(70, 80));
    move(view, QPoint(80, 100), Qt::LeftButton);
    release(view, QPoint(80, 100));
    const FacadeWindow &w = model->windows[0][0];
    QCOMPARE(QRect(w.x, w.y, w.width, w.height), QRect(40, 40, 60, 80));
    QCOMPARE(w.blindExtent, 0);
}

void TestViewMouse::blindDrag_data()
{
    QTest::addColumn<int>("d");
    QTest::addColumn<int>("extent");
    QTest::addColumn<int>("level"); // -1: the input image stays

    // Window 0: 40 pixels high, blind edge at 20.
    QTest::newRow("d = 1") << 1 << 1 << 0;
    QTest::newRow("d = 10") << 10 << 10 << 3;
    QTest::newRow("d = 20") << 20 << 20 << 5;
    QTest::newRow("d = 39") << 39 << 39 << 10;
    QTest::newRow("on the top edge") << 0 << 20 << -1;
    QTest::newRow("on the bottom edge") << 40 << 20 << -1;
    QTest::newRow("above the window") << -5 << 20 << -1;
}

void TestViewMouse::blindDrag()
{
    QFETCH(int, d);
    QFETCH(int, extent);
    QFETCH(int, level);

    CountingView view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(30, 45));
    move(view, QPoint(30, 30));
    press(view, QPoint(30, 30));
    const int paints = view.paints;
    move(view, QPoint(30, 10 + d), Qt::LeftButton);
    release(view, QPoint(30, 10 + d));

    QCOMPARE(model->windows[0][0].blindExtent, extent);
    if (level >= 0) {
        QCOMPARE(model->currentImages[0], model->blindImages[0][level].get());
        QCOMPARE(model->imageKeys[0], (level + 1) * 12);
        QVERIFY(view.paints > paints);
    } else {
        QCOMPARE(model->currentImages[0], model->windowImages[0].get());
        QCOMPARE(model->imageKeys[0], 0);
    }
    // Only window 0 changed.
    for (int i = 1; i < 12; ++i) {
        QCOMPARE(model->windows[0][i].blindExtent, 20);
        QCOMPARE(model->imageKeys[i], i);
    }
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 12, 13, level >= 0 ? blindColor(0, level) : QColor(0, 220, 60));
    if (level >= 0)
        COMPARE_PIXEL(image, 30, 10 + extent, QColor(255, 255, 0));
}

void TestViewMouse::dragAllBlinds()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = gridBlindModel();
    model->windows[0][5].height = 41;
    model->windows[0][7].height = 30;
    view.setWindowData(model.get());
    view.setDragAllBlinds(true);
    click(view, QPoint(30, 45));
    move(view, QPoint(30, 30));
    press(view, QPoint(30, 30));
    move(view, QPoint(30, 30), Qt::LeftButton); // half of window 0's height
    release(view, QPoint(30, 30));

    for (int i = 0; i < 12; ++i) {
        const int expected = i == 5 ? 21 : i == 7 ? 15 : 20;
        QCOMPARE(model->windows[0][i].blindExtent, expected);
        QCOMPARE(model->currentImages[i], model->blindImages[i][5].get());
        QCOMPARE(model->imageKeys[i], 6 * 12 + i);
    }
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 192, 132, blindColor(11, 5));
}

void TestViewMouse::blindDragWithoutBlindImages()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = gridBlindModel();
    model->windows[0][0].sourceIndex = 40; // a grid file may name any detected window
    model->windows[0][1].sourceIndex = -1;
    view.setWindowData(model.get());
    click(view, QPoint(30, 45));
    move(view, QPoint(30, 30));
    press(view, QPoint(30, 30));
    move(view, QPoint(30, 20), Qt::LeftButton);
    QCOMPARE(model->windows[0][0].blindExtent, 10);
    QCOMPARE(model->currentImages[0], model->windowImages[0].get());
    QCOMPARE(model->imageKeys[0], 0);

    // All blinds at once, with no blind images at all.
    model->blindImages.clear();
    view.setDragAllBlinds(true);
    move(view, QPoint(30, 40), Qt::LeftButton);
    release(view, QPoint(30, 40));
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(model->windows[0][i].blindExtent, 30);
        QCOMPARE(model->currentImages[i], model->windowImages[i].get());
        QCOMPARE(model->imageKeys[i], i);
    }
    frame(view);
}

void TestViewMouse::windowMoveAligns()
{
    CountingView view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    const std::vector<FacadeWindow> before = model->windows[0];

    // Window 6 is row 1, column 2 of the 3 x 4 grid, at (130, 70).
    click(view, QPoint(150, 95));
    QCOMPARE(view.selectedWindowIndex(), 6);
    move(view, QPoint(150, 95));
    QVERIFY(view.movingWindow);
    press(view, QPoint(150, 95));
    move(view, QPoint(153, 97), Qt::LeftButton);
    QCOMPARE(view.lastMousePos, QPoint(153, 97));
    const int paints = view.paints;
    move(view, QPoint(157, 100), Qt::LeftButton);
    QVERIFY(view.paints > paints);
    QCOMPARE(QPoint(model->windows[0][6].x, model->windows[0][6].y), QPoint(137, 75));
    QCOMPARE(model->windows[0][1].x, before[1].x); // nothing aligned before the release
    release(view, QPoint(157, 100));

    for (int i = 0; i < 12; ++i) {
        const FacadeWindow &w = model->windows[0][i];
        const int x = (i == 2 || i == 6 || i == 10) ? 137 : before[i].x;
        const int y = (i == 4 || i == 5 || i == 6 || i == 7) ? 75 : before[i].y;
        QCOMPARE(QPoint(w.x, w.y), QPoint(x, y));
        QCOMPARE(QSize(w.width, w.height), QSize(before[i].width, before[i].height));
        QCOMPARE(w.blindExtent, before[i].blindExtent);
    }
    // movingWindow stays armed until the next move disarms it.
    QVERIFY(view.movingWindow);
    COMPARE_PIXEL(frame(view), 157, 75, QColor(0, 0, 255));
}

// A move armed in a blind case must not align the windows of a shutter case
// that replaced it (a load keeps the view's selection and flags).
void TestViewMouse::noAlignmentOutsideBlindCases()
{
    FacadeGLWidget view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(150, 95));
    move(view, QPoint(150, 95));
    QVERIFY(view.movingWindow);
    model->windows[0][2].x = 133;
    model->caseKind = int(TestCaseKind::Shutter);
    press(view, QPoint(150, 95));
    release(view, QPoint(150, 95));
    QCOMPARE(model->windows[0][2].x, 133);
}

void TestViewMouse::alignmentAfterClickWithoutMove()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = gridBlindModel();
    model->windows[0][2].x = 133;
    model->windows[0][7].y = 66;
    view.setWindowData(model.get());
    click(view, QPoint(150, 95)); // selects window 6; nothing armed yet
    QCOMPARE(model->windows[0][2].x, 133);
    move(view, QPoint(150, 95));
    press(view, QPoint(150, 95));
    release(view, QPoint(150, 95));
    QCOMPARE(model->windows[0][2].x, 130);
    QCOMPARE(model->windows[0][7].y, 70);
}

void TestViewMouse::alignmentStaysInsideGroup_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<QVector<int>>("xAligned");
    QTest::addColumn<QVector<int>>("yAligned");

    // Window 6 (row 1, column 2) moved to (137, 75); the model's counts come from a grid file.
    QTest::newRow("matching counts") << 3 << 4 << QVector<int>{2, 10} << QVector<int>{4, 5, 7};
    QTest::newRow("more rows than windows") << 9 << 4 << QVector<int>{2, 10} << QVector<int>{4, 5, 7};
    QTest::newRow("huge counts") << 1000000000 << 1000000000 << QVector<int>{2} << QVector<int>{};
    QTest::newRow("no columns") << 3 << 0 << QVector<int>{} << QVector<int>{};
    QTest::newRow("column beyond the counts") << 3 << 2 << QVector<int>{} << QVector<int>{};
    QTest::newRow("five columns") << 3 << 5 << QVector<int>{2} << QVector<int>{5, 8, 9};
}

void TestViewMouse::alignmentStaysInsideGroup()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(QVector<int>, xAligned);
    QFETCH(QVector<int>, yAligned);

    FacadeGLWidget view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    const std::vector<FacadeWindow> before = model->windows[0];
    click(view, QPoint(150, 95));
    move(view, QPoint(150, 95));
    press(view, QPoint(150, 95));
    move(view, QPoint(157, 100), Qt::LeftButton);
    model->rows = rows;
    model->cols = cols;
    release(view, QPoint(157, 100));

    for (int i = 0; i < 12; ++i) {
        if (i == 6)
            continue;
        const FacadeWindow &w = model->windows[0][i];
        QCOMPARE(w.x, xAligned.contains(i) ? 137 : before[i].x);
        QCOMPARE(w.y, yAligned.contains(i) ? 75 : before[i].y);
    }
}

void TestViewMouse::staleIndicesAfterGridShrinks()
{
    FacadeGLWidget view;
    auto model = gridBlindModel();
    QVERIFY(showWithModel(view, *model));
    click(view, QPoint(150, 95));
    move(view, QPoint(150, 95));
    QVERIFY(view.movingWindow);
    view.hoveredWindow = 9;

    // A grid file replaces the windows without clearing the view's selection.
    model->windows[0].resize(3);
    model->currentImages.resize(3);
    model->imageKeys.resize(3);
    const std::vector<FacadeWindow> kept = model->windows[0];

    frame(view); // no selection loop, no highlight, no crash
    release(view, QPoint(150, 95));
    move(view, QPoint(157, 100), Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(QPoint(model->windows[0][i].x, model->windows[0][i].y), QPoint(kept[i].x, kept[i].y));

    view.hoveredWindow = 9;
    press(view, QPoint(150, 95));
    QCOMPARE(view.selectedWindowIndex(), -1);
    const QImage image = frame(view);
    COMPARE_PIXEL(image, 150, 95, QColor(128, 128, 128));
    move(view, QPoint(100, 30));
    QCOMPARE(view.hoveredWindow, 1);
}

void TestViewMouse::originalViewHover()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = gridBlindModel();
    setScaleMapping(*model, 2.0); // widget (x, y) is rectified (x / 2, y / 2)
    view.setWindowData(model.get());
    view.setShowInOriginalView(true);

    move(view, QPoint(60, 17)); // rectified (30, 8.5), rounded to 9: inside the tolerance
    QCOMPARE(view.hoveredWindow, 0);
    move(view, QPoint(60, 16)); // rectified (30, 8)
    QCOMPARE(view.hoveredWindow, -1);
    move(view, QPoint(21, 40)); // x 10.5 rounds to 11
    QCOMPARE(view.hoveredWindow, 0);
    move(view, QPoint(20, 40)); // x 10: on the left edge
    QCOMPARE(view.hoveredWindow, -1);
    move(view, QPoint(300, 180));
    QCOMPARE(view.hoveredWindow, 6);
    // The highlight covers the mapped window: (260, 140)-(340, 220).
    COMPARE_PIXEL(frame(view), 280, 200, hoverBlend(QColor(90, 60, 30)));
}

void TestViewMouse::originalViewBlindDrag()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = gridBlindModel();
    setScaleMapping(*model, 2.0);
    view.setWindowData(model.get());
    view.setShowInOriginalView(true);

    click(view, QPoint(60, 90));
    QCOMPARE(view.selectedWindowIndex(), 0);
    move(view, QPoint(60, 60)); // rectified (30, 30): the blind edge
    QVERIFY(view.draggingBlind);
    QCOMPARE(view.cursor().shape(), Qt::SizeVerCursor);
    press(view, QPoint(60, 60));
    move(view, QPoint(60, 40), Qt::LeftButton); // rectified y 20: d = 10
    release(view, QPoint(60, 40));
    QCOMPARE(model->windows[0][0].blindExtent, 10);
    QCOMPARE(model->imageKeys[0], 4 * 12);
}

void TestViewMouse::originalViewWindowMove()
{
    FacadeGLWidget view;
    QVERIFY(showView(view, 320, 240));
    auto model = gridBlindModel();
    setScaleMapping(*model, 2.0);
    view.setWindowData(model.get());
    view.setShowInOriginalView(true);

    click(view, QPoint(300, 190)); // rectified (150, 95): window 6
    QCOMPARE(view.selectedWindowIndex(), 6);
    move(view, QPoint(300, 190));
    QVERIFY(view.movingWindow);
    press(view, QPoint(300, 190));
    move(view, QPoint(310, 196), Qt::LeftButton);
    release(view, QPoint(310, 196));
    // Widget pixels (pixels of the photograph) are added to rectified coordinates.
    QCOMPARE(QPoint(model->windows[0][6].x, model->windows[0][6].y), QPoint(140, 76));
    QCOMPARE(model->windows[0][2].x, 140);
    QCOMPARE(model->windows[0][10].x, 140);
    QCOMPARE(model->windows[0][4].y, 76);
}

QTEST_MAIN(TestViewMouse)
#include "tst_viewmouse.moc"
