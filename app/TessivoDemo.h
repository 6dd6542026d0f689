#ifndef TESSIVO_TESSIVODEMO_H
#define TESSIVO_TESSIVODEMO_H

#include "ui_TessivoDemo.h"

#include <QDialog>
#include <QDir>
#include <QImage>

#include <memory>
#include <string>

class FacadeGLWidget;
class QWindowData2D;

// The control dialog: the control panel on the left, the facade view on the
// right. It owns the model of the loaded test case.
class TessivoDemo : public QDialog
{
    Q_OBJECT

public:
    explicit TessivoDemo(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TessivoDemo() override;

    // Searches the working directory and its ancestors for "Tessivo_TestCases".
    bool findTestCaseRoot();

private slots:
    void testSlot();
    void saveFacadeToMeshSlot();
    void saveToImageSlot();
    void gen3DWindowObjsSlot();
    void randomShutterAngleSlot();
    void loadGridSlot();
    void saveGridSlot();
    void loadWindowBlindSlot();
    void dragAllBlindsToggledSlot(bool flag);
    void loadWindowShutterSlot();
    void gridRowChangedSlot(int row);
    void gridColChangedSlot(int col);
    void resetWindowGridStructureSlot();
    void leftShutterValueChanged(int val);
    void rightShutterValueChanged(int val);
    void rotateAllShuttersToggledSlot(bool flag);
    void showGridToggledSlot(bool flag);
    void showInOriginalViewToggledSlot(bool flag);
    void showOriginalImageToggledSlot(bool flag);

public:
    // Public: the tests drive the form's widgets through it.
    Ui::TessivoDemoClass ui;
    FacadeGLWidget *facadeView = nullptr;
    QDir testCaseDir;
    std::string imageFileName;
    std::string testCaseFolder;
    std::unique_ptr<QWindowData2D> windowData; // the loaded test case, or null
    bool rotateAllShutters = false;

private:
    // Row and column counts of the loaded grid (lengths of rowValues[0] and
    // colValues[0]); 0 when no model is loaded or the list is absent.
    int loadedRowCount() const;
    int loadedColCount() const;
    // The view's selected window when it is a valid index of windows[0], else -1.
    int selectedWindowInGrid() const;
    // The two shutter slider slots, differing only in the leaf they turn.
    void setShutterFromSlider(int val, bool left);
    // Listens to the view's selection: enables both shutter sliders for a
    // window of a shutter test case and sets them, left first, or disables them.
    void showShutterSelection(bool enabled, int leftDegrees, int rightDegrees);
    // Replaces the model with a freshly loaded test case of the given kind.
    void loadTestCase(int kind);

    // Image last loaded by testSlot; the view only borrows it.
    std::unique_ptr<QImage> m_testImage;
};

#endif
