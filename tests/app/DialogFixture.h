#ifndef TESSIVO_TESTS_DIALOGFIXTURE_H
#define TESSIVO_TESTS_DIALOGFIXTURE_H

#include "TessivoDemo.h"

#include <QString>

#include <memory>

class QWindowData2D;

// A shown dialog whose working directory is a given folder; restores the
// previous working directory when it goes.
class DialogFixture
{
public:
    explicit DialogFixture(const QString &workingDir);
    ~DialogFixture();
    DialogFixture(const DialogFixture &) = delete;
    DialogFixture &operator=(const DialogFixture &) = delete;

    TessivoDemo &dialog() { return *m_dialog; }
    bool exposed() const { return m_exposed; }

    // Chooses the combo-box entry and clicks the kind's "Load" button.
    void clickLoad(bool shutter, int index);
    QWindowData2D *model() { return m_dialog->windowData.get(); }

private:
    QString m_previousDir;
    std::unique_ptr<TessivoDemo> m_dialog;
    bool m_exposed = false;
};

// True when the first group's windows sit where their detected windows are, in
// the same cells, each showing its own detected window's images.
bool windowsAreDetected(const QWindowData2D &model);

// Checks the dialog right after a successful load of a case of the given kind:
// the model reached the view with its textures, the spin boxes are enabled for
// a blind case only and the shutter sliders wait for a selection. Failures are
// recorded with QTest; the caller returns when QTest::currentTestFailed().
void verifyLoadedCase(TessivoDemo &dialog, bool shutter);

// True when some folder from dir up to the file-system root holds an entry
// named "Tessivo_TestCases".
bool rootEntryAbove(const QString &dir);

#endif
