#include "TessivoDemo.h"

#include "CaseSession.h"
#include "CrashRecovery.h"
#include "DialogEventFilter.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QCursor>
#include <QSignalBlocker>
#include <QToolTip>

#include <tuple>


// Builds the form, puts the facade view into the scroll area, connects the
// panel's controls to their slots and the view's selection to the shutter
// sliders; the grid and shutter controls start disabled.
TessivoDemo::TessivoDemo(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_session(std::make_unique<CaseSession>()), windowData(m_session->modelSlot())
{
    ui.setupUi(this);
    setFixedSize(geometry().width(), geometry().height());

    // setWidget deletes the form's placeholder; forget the pointer to it.
    facadeView = new FacadeGLWidget();
    ui.scrollArea->setWidget(facadeView);
    ui.scrollAreaWidgetContents = nullptr;
    facadeView->setDemoDialog(this);

    connect(ui.pushButton2DWindowBlindLoad, &QPushButton::released, this,
            &TessivoDemo::loadWindowBlindSlot);
    connect(ui.pushButton2DWindowShutterLoad, &QPushButton::released, this,
            &TessivoDemo::loadWindowShutterSlot);
    connect(ui.spinBoxRow, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TessivoDemo::gridRowChangedSlot);
    connect(ui.spinBoxCol, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TessivoDemo::gridColChangedSlot);
    connect(ui.pushButtonResetStructure, &QPushButton::released, this,
            &TessivoDemo::resetWindowGridStructureSlot);
    connect(ui.horizontalSliderLeftShutter, &QSlider::valueChanged, this,
            &TessivoDemo::leftShutterValueChanged);
    connect(ui.horizontalSliderRightShutter, &QSlider::valueChanged, this,
            &TessivoDemo::rightShutterValueChanged);
    connect(ui.checkBoxShowGrid, &QCheckBox::toggled, this, &TessivoDemo::showGridToggledSlot);
    connect(ui.checkBoxShowInOriginalView, &QCheckBox::toggled, this,
            &TessivoDemo::showInOriginalViewToggledSlot);
    connect(facadeView, &FacadeGLWidget::shutterSelectionChanged, this,
            &TessivoDemo::showShutterSelection);

    for (QSlider *slider : {ui.horizontalSliderLeftShutter, ui.horizontalSliderRightShutter}) {
        slider->setRange(0, 180);
        slider->setSingleStep(10);
    }
    for (QSpinBox *box : {ui.spinBoxRow, ui.spinBoxCol}) {
        box->setMaximum(TestCasePaths::kMaxGridCount);
        box->setEnabled(false);
    }
    ui.horizontalSliderLeftShutter->setEnabled(false);
    ui.horizontalSliderRightShutter->setEnabled(false);

    setUpEditing();
}

// What surrounds the panel and its slots: undo, the commands with their keys
// and menus, the guard against stray keys, the tooltips.
void TessivoDemo::setUpEditing()
{
    EditHistory &history = m_session->history();
    connect(&history, &EditHistory::restored, this, &TessivoDemo::followRestoredState);
    connect(&history, &EditHistory::stateChanged, this, &TessivoDemo::updateCommandStates);
    // A step the history takes ends an open mouse edit first, before it
    // changes the model.
    connect(&history, &EditHistory::aboutToStep, facadeView, &FacadeGLWidget::endMouseEdit,
            Qt::DirectConnection);
    connect(m_session.get(), &CaseSession::countsChanged, this, &TessivoDemo::showSessionCounts);
    // The session's own flows set the counts through the spin boxes, whose
    // slots then lay the grid out as a user's change does.
    m_session->setCountInput([this](int CaseSession::Counts::*count, int value) {
        (count == &CaseSession::Counts::rows ? ui.spinBoxRow : ui.spinBoxCol)->setValue(value);
    });
    connect(facadeView, &FacadeGLWidget::mouseEditStarted, this, &TessivoDemo::beginMouseEdit);
    connect(facadeView, &FacadeGLWidget::mouseEditFinished, this, &TessivoDemo::finishMouseEdit);

    auto *filter = new DialogEventFilter(
        this, {[this] { return confirmLosingEdits(tr("Close"), tr("Save them before the window closes?")); },
               [this](const QPoint &globalPos) { showCommands(globalPos); }});
    filter->passUndoKeys(ui.spinBoxRow);
    filter->passUndoKeys(ui.spinBoxCol);

    facadeView->setToolTip(tr("Right-click for commands, F1 for help"));
    const auto setUpSlider = [this](QSlider *slider, bool left) {
        const QString leaf = left ? tr("Left leaf") : tr("Right leaf");
        slider->setToolTip(tr("%1: 0 = open, 180 = closed").arg(leaf));
        // A drag shows the angle it sets; its release makes it one edit.
        connect(slider, &QSlider::actionTriggered, this, [slider, leaf](int action) {
            if (action == QAbstractSlider::SliderMove)
                QToolTip::showText(QCursor::pos(),
                                   tr("%1: %2 degrees (0 open, 180 closed)").arg(leaf).arg(slider->sliderPosition()),
                                   slider);
        });
        connect(slider, &QSlider::sliderReleased, this, [this, left] {
            recordEdit(left ? tr("Turn left shutter") : tr("Turn right shutter"));
        });
    };
    setUpSlider(ui.horizontalSliderLeftShutter, true);
    setUpSlider(ui.horizontalSliderRightShutter, false);

    buildCommands();
    updateControlStates();
}

// The view outlives the model and the image (it is destroyed with the widget
// tree by the base class, after the members), so it is detached from both first.
// A dialog that is destroyed ends its session normally (a window closed after
// its question, or a program that quits): the kept edits go, only a process
// that dies leaves them.
TessivoDemo::~TessivoDemo()
{
    m_session->recovery().discard();
    // The session outlives this part of the dialog.
    disconnect(&m_session->history(), nullptr, this, nullptr);
    disconnect(m_session.get(), nullptr, this, nullptr);
    if (facadeView) {
        facadeView->setWindowData(nullptr);
        facadeView->setImage(nullptr);
    }
}

EditHistory &TessivoDemo::editHistory() const
{
    return m_session->history();
}

CrashRecovery &TessivoDemo::crashRecovery() const
{
    return m_session->recovery();
}

void TessivoDemo::showSessionCounts()
{
    const CaseSession::Counts shown = m_session->shownCounts();
    const std::tuple<QSpinBox *, int, int> boxes[] = {{ui.spinBoxRow, shown.rows, m_session->maxRows()},
                                                      {ui.spinBoxCol, shown.cols, m_session->maxCols()}};
    for (const auto &[box, count, maximum] : boxes) {
        const QSignalBlocker blocker(box);
        box->setMaximum(maximum);
        box->setValue(count);
    }
}

int TessivoDemo::selectedWindowInGrid() const
{
    const int selected = facadeView->selectedWindowIndex();
    return windowData && windowData->isWindowIndex(selected) ? selected : -1;
}

// Both sliders change state before either value is set; each setValue that
// changes a value runs its slider slot before it returns.
void TessivoDemo::showShutterSelection(bool enabled, int leftDegrees, int rightDegrees)
{
    ui.horizontalSliderLeftShutter->setEnabled(enabled);
    ui.horizontalSliderRightShutter->setEnabled(enabled);
    if (!enabled)
        return;
    ui.horizontalSliderLeftShutter->setValue(leftDegrees);
    ui.horizontalSliderRightShutter->setValue(rightDegrees);
}
