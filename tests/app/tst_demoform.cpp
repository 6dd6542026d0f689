// The control dialog as built: form tree, settings, start state, slot
// interface and the nine connections of the panel.
#include "DialogFixture.h"
#include "FacadeGLWidget.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "QWindowData2D.h"
#include "TessivoDemo.h"

#include <QtTest>

#include <QBoxLayout>
#include <QGridLayout>
#include <QMetaMethod>

#include <QApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

// QObject::receivers is protected; a pointer to it, formed inside a subclass,
// has the type "member of QObject" and may be called on any object.
struct ReceiverCount : QObject {
    static int of(const QObject *object, const char *signal)
    {
        const auto receivers = &ReceiverCount::receivers;
        return (object->*receivers)(signal);
    }
};

QWidget *widgetNamed(QObject *root, const QString &name)
{
    return root->findChild<QWidget *>(name);
}

QLayout *layoutNamed(QObject *root, const QString &name)
{
    return root->findChild<QLayout *>(name);
}

}

class TestDemoForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void dialogFrame();
    void widgets_data();
    void widgets();
    void sizePolicies_data();
    void sizePolicies();
    void fonts();
    void layouts_data();
    void layouts();
    void layoutPlaces_data();
    void layoutPlaces();
    void spacer();
    void comboBoxes();
    void rangesAndStart();
    void viewInScrollArea();
    void slotInterface();
    void connectionCount_data();
    void connectionCount();
    void connectionsReachTheirSlots();

private:
    std::unique_ptr<TessivoDemo> dialog;
};

// One dialog serves the suite; the tests that change its state run last.
void TestDemoForm::initTestCase()
{
    dialog = std::make_unique<TessivoDemo>();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
}

void TestDemoForm::cleanupTestCase()
{
    keepGLDriverLoaded();
    dialog.reset();
}

void TestDemoForm::dialogFrame()
{
    QCOMPARE(dialog->objectName(), QStringLiteral("TessivoDemoClass"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("TessivoDemo"));
    QCOMPARE(dialog->size(), QSize(1474, 914));
    QCOMPARE(dialog->minimumSize(), QSize(1474, 914));
    QCOMPARE(dialog->maximumSize(), QSize(1474, 914));
    dialog->resize(800, 600);
    QCOMPARE(dialog->size(), QSize(1474, 914));
    QCOMPARE(QString::fromLatin1(dialog->metaObject()->className()), QStringLiteral("TessivoDemo"));
    QVERIFY(dialog->qt_metacast("TessivoDemo") != nullptr);
    QVERIFY(dialog->windowData == nullptr);
    QVERIFY(!dialog->rotateAllShutters);
    QVERIFY(dialog->imageFileName.empty());
    QVERIFY(dialog->testCaseFolder.empty());
}

void TestDemoForm::widgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");

    const struct {
        const char *name, *className, *parent, *text;
        bool enabled;
    } rows[] = {
        {"scrollArea", "QScrollArea", "TessivoDemoClass", "", true},
        {"groupBox", "QGroupBox", "TessivoDemoClass", "Control Panel", true},
        {"groupBox2DWindowBlind", "QGroupBox", "groupBox", "Blind-type", true},
        {"comboBox2DWindowBlind", "QComboBox", "groupBox2DWindowBlind", "Facade1", true},
        {"pushButton2DWindowBlindLoad", "QPushButton", "groupBox2DWindowBlind", "Load", true},
        {"groupBox2DWindowShutter", "QGroupBox", "groupBox", "Shutter-type", true},
        {"comboBox2DWindowShutter", "QComboBox", "groupBox2DWindowShutter", "Facade1", true},
        {"pushButton2DWindowShutterLoad", "QPushButton", "groupBox2DWindowShutter", "Load", true},
        {"label_3", "QLabel", "groupBox2DWindowShutter", "Left:", true},
        {"horizontalSliderLeftShutter", "QSlider", "groupBox2DWindowShutter", "", false},
        {"label_4", "QLabel", "groupBox2DWindowShutter", "Right:", true},
        {"horizontalSliderRightShutter", "QSlider", "groupBox2DWindowShutter", "", false},
        {"groupBoxRestrcuture", "QGroupBox", "groupBox", "Repetition Restrcuture", true},
        {"label", "QLabel", "groupBoxRestrcuture", "row:", true},
        {"spinBoxRow", "QSpinBox", "groupBoxRestrcuture", "1", false},
        {"label_2", "QLabel", "groupBoxRestrcuture", "col:", true},
        {"spinBoxCol", "QSpinBox", "groupBoxRestrcuture", "1", false},
        // Nothing to reset before a test case is loaded.
        {"pushButtonResetStructure", "QPushButton", "groupBoxRestrcuture", "Reset", false},
        {"groupBoxRender", "QGroupBox", "groupBox", "Render Options", true},
        {"checkBoxShowGrid", "QCheckBox", "groupBoxRender", "Show Grid", true},
        {"checkBoxShowInOriginalView", "QCheckBox", "groupBoxRender", "Show in Original View", true},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.className << row.parent << row.text << row.enabled;
}

// Class, parent, visible text and enabled state of every widget of the form.
void TestDemoForm::widgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QString, text);
    QFETCH(bool, enabled);

    const QList<QWidget *> found = dialog->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.front();
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QVERIFY(widget->parentWidget());
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    QCOMPARE(widget->isEnabled(), enabled);

    if (auto *box = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(box->title(), text);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    else if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        QCOMPARE(combo->currentText(), text);
    else if (auto *spin = qobject_cast<QSpinBox *>(widget))
        QCOMPARE(spin->text(), text);
    else
        QVERIFY(text.isEmpty());
}

void TestDemoForm::sizePolicies_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<QSize>("minimum");

    QTest::newRow("scrollArea") << "scrollArea" << int(QSizePolicy::Preferred)
                                << int(QSizePolicy::Preferred) << QSize(1150, 0);
    QTest::newRow("groupBox") << "groupBox" << int(QSizePolicy::Fixed) << int(QSizePolicy::Preferred)
                              << QSize(200, 0);
    QTest::newRow("groupBox2DWindowBlind") << "groupBox2DWindowBlind" << int(QSizePolicy::Preferred)
                                           << int(QSizePolicy::Preferred) << QSize(0, 0);
    QTest::newRow("groupBox2DWindowShutter") << "groupBox2DWindowShutter"
                                             << int(QSizePolicy::Preferred)
                                             << int(QSizePolicy::Preferred) << QSize(0, 0);
}

void TestDemoForm::sizePolicies()
{
    QFETCH(QString, name);
    QFETCH(int, horizontal);
    QFETCH(int, vertical);
    QFETCH(QSize, minimum);

    QWidget *widget = widgetNamed(dialog.get(), name);
    QVERIFY(widget);
    const QSizePolicy policy = widget->sizePolicy();
    QCOMPARE(int(policy.horizontalPolicy()), horizontal);
    QCOMPARE(int(policy.verticalPolicy()), vertical);
    QCOMPARE(policy.horizontalStretch(), 0);
    QCOMPARE(policy.verticalStretch(), 0);
    QVERIFY(!policy.hasHeightForWidth());
    QCOMPARE(widget->minimumSize(), minimum);
}

// The panel font is set on the three boxes and inherited by the rest of the
// panel; the scroll area and the view keep the application font.
void TestDemoForm::fonts()
{
    const QString family = QString::fromUtf8("微软雅黑");
    for (const char *name : {"groupBox", "groupBox2DWindowBlind", "groupBox2DWindowShutter"}) {
        QWidget *widget = widgetNamed(dialog.get(), name);
        QVERIFY2(widget->testAttribute(Qt::WA_SetFont), name);
        QCOMPARE(widget->font().family(), family);
    }
    for (const char *name : {"groupBoxRestrcuture", "groupBoxRender", "spinBoxRow", "checkBoxShowGrid"}) {
        QWidget *widget = widgetNamed(dialog.get(), name);
        QVERIFY2(!widget->testAttribute(Qt::WA_SetFont), name);
        QCOMPARE(widget->font().family(), family);
    }
    QVERIFY(!dialog->ui.scrollArea->testAttribute(Qt::WA_SetFont));
    QCOMPARE(dialog->ui.scrollArea->font().family(), QApplication::font().family());
    QCOMPARE(dialog->facadeView->font().family(), QApplication::font().family());
}

void TestDemoForm::layouts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("owner"); // widget it manages, or the layout it is added to
    QTest::addColumn<int>("margin");    // -1: no margins of its own (0 on every side)

    QTest::newRow("gridLayout") << "gridLayout" << "QGridLayout" << "TessivoDemoClass" << 11;
    QTest::newRow("verticalLayout_5") << "verticalLayout_5" << "QVBoxLayout" << "groupBox" << 11;
    QTest::newRow("verticalLayout") << "verticalLayout" << "QVBoxLayout" << "groupBox2DWindowBlind" << 11;
    QTest::newRow("horizontalLayout") << "horizontalLayout" << "QHBoxLayout" << "verticalLayout" << -1;
    QTest::newRow("verticalLayout_2") << "verticalLayout_2" << "QVBoxLayout" << "groupBox2DWindowShutter"
                                      << 11;
    QTest::newRow("horizontalLayout_2") << "horizontalLayout_2" << "QHBoxLayout" << "verticalLayout_2"
                                        << -1;
    QTest::newRow("gridLayout_2") << "gridLayout_2" << "QGridLayout" << "verticalLayout_2" << -1;
    QTest::newRow("verticalLayout_3") << "verticalLayout_3" << "QVBoxLayout" << "groupBoxRestrcuture"
                                      << 11;
    QTest::newRow("horizontalLayout_3") << "horizontalLayout_3" << "QHBoxLayout" << "verticalLayout_3"
                                        << -1;
    QTest::newRow("verticalLayout_4") << "verticalLayout_4" << "QVBoxLayout" << "groupBoxRender" << 11;
}

void TestDemoForm::layouts()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, owner);
    QFETCH(int, margin);

    QLayout *layout = layoutNamed(dialog.get(), name);
    QVERIFY(layout);
    QCOMPARE(QString::fromLatin1(layout->metaObject()->className()), className);
    QCOMPARE(layout->spacing(), 6);
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        QCOMPARE(grid->horizontalSpacing(), 6);
        QCOMPARE(grid->verticalSpacing(), 6);
    }
    const int m = margin < 0 ? 0 : margin;
    QCOMPARE(layout->contentsMargins(), QMargins(m, m, m, m));
    if (margin < 0) {
        auto *parentLayout = qobject_cast<QLayout *>(layout->parent());
        QVERIFY(parentLayout);
        QCOMPARE(parentLayout->objectName(), owner);
    } else {
        QVERIFY(layout->parentWidget());
        QCOMPARE(layout->parentWidget()->objectName(), owner);
        QCOMPARE(layout->parentWidget()->layout(), layout);
    }
}

void TestDemoForm::layoutPlaces_data()
{
    QTest::addColumn<QString>("layoutName");
    QTest::addColumn<QStringList>("items"); // object names of the items, in layout order
    QTest::addColumn<QList<QPoint>>("cells"); // grid layouts: (row, column) of each item

    QTest::newRow("gridLayout") << "gridLayout" << QStringList{"scrollArea", "groupBox"}
                                << QList<QPoint>{{0, 1}, {0, 0}};
    QTest::newRow("verticalLayout_5")
        << "verticalLayout_5"
        << QStringList{"groupBox2DWindowBlind", "groupBox2DWindowShutter", "groupBoxRestrcuture",
                       "groupBoxRender", "<spacer>"}
        << QList<QPoint>{};
    QTest::newRow("verticalLayout") << "verticalLayout" << QStringList{"horizontalLayout"}
                                    << QList<QPoint>{};
    QTest::newRow("horizontalLayout") << "horizontalLayout"
                                      << QStringList{"comboBox2DWindowBlind", "pushButton2DWindowBlindLoad"}
                                      << QList<QPoint>{};
    QTest::newRow("verticalLayout_2") << "verticalLayout_2"
                                      << QStringList{"horizontalLayout_2", "gridLayout_2"}
                                      << QList<QPoint>{};
    QTest::newRow("horizontalLayout_2")
        << "horizontalLayout_2" << QStringList{"comboBox2DWindowShutter", "pushButton2DWindowShutterLoad"}
        << QList<QPoint>{};
    QTest::newRow("gridLayout_2")
        << "gridLayout_2"
        << QStringList{"label_3", "horizontalSliderLeftShutter", "label_4", "horizontalSliderRightShutter"}
        << QList<QPoint>{{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    QTest::newRow("verticalLayout_3") << "verticalLayout_3"
                                      << QStringList{"horizontalLayout_3", "pushButtonResetStructure"}
                                      << QList<QPoint>{};
    QTest::newRow("horizontalLayout_3") << "horizontalLayout_3"
                                        << QStringList{"label", "spinBoxRow", "label_2", "spinBoxCol"}
                                        << QList<QPoint>{};
    QTest::newRow("verticalLayout_4") << "verticalLayout_4"
                                      << QStringList{"checkBoxShowGrid", "checkBoxShowInOriginalView"}
                                      << QList<QPoint>{};
}

// Order of the items in each layout, their cells in the grid layouts, and
// that they carry no stretch and no alignment.
void TestDemoForm::layoutPlaces()
{
    QFETCH(QString, layoutName);
    QFETCH(QStringList, items);
    QFETCH(QList<QPoint>, cells);

    QLayout *layout = layoutNamed(dialog.get(), layoutName);
    QVERIFY(layout);
    QCOMPARE(layout->count(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        QString name;
        if (item->widget())
            name = item->widget()->objectName();
        else if (item->layout())
            name = item->layout()->objectName();
        else if (item->spacerItem())
            name = QStringLiteral("<spacer>");
        QCOMPARE(name, items.at(i));
        QCOMPARE(int(item->alignment()), 0);
        if (auto *box = qobject_cast<QBoxLayout *>(layout))
            QCOMPARE(box->stretch(i), 0);
        if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
            int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            QCOMPARE(QPoint(row, column), cells.at(i));
            QCOMPARE(rowSpan, 1);
            QCOMPARE(columnSpan, 1);
        }
    }
}

void TestDemoForm::spacer()
{
    QSpacerItem *spacer = dialog->ui.verticalSpacer;
    QVERIFY(spacer);
    QCOMPARE(spacer->sizeHint(), QSize(20, 491));
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
}

void TestDemoForm::comboBoxes()
{
    const auto itemsOf = [](const QComboBox *combo) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    };
    QCOMPARE(itemsOf(dialog->ui.comboBox2DWindowBlind),
             (QStringList{"Facade1", "Facade2", "Facade3"}));
    QCOMPARE(itemsOf(dialog->ui.comboBox2DWindowShutter), (QStringList{"Facade1", "Facade2"}));
    QCOMPARE(dialog->ui.comboBox2DWindowBlind->currentIndex(), 0);
    QCOMPARE(dialog->ui.comboBox2DWindowShutter->currentIndex(), 0);
}

// Ranges, steps and start values; the spin boxes clamp what the dialog sets.
void TestDemoForm::rangesAndStart()
{
    for (QSpinBox *spin : {dialog->ui.spinBoxRow, dialog->ui.spinBoxCol}) {
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 10);
        QCOMPARE(spin->value(), 1);
        QCOMPARE(spin->singleStep(), 1);
    }
    for (QSlider *slider : {dialog->ui.horizontalSliderLeftShutter, dialog->ui.horizontalSliderRightShutter}) {
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 180);
        QCOMPARE(slider->singleStep(), 10);
        QCOMPARE(slider->value(), 0);
        QVERIFY(slider->hasTracking());
    }
    QVERIFY(dialog->ui.checkBoxShowGrid->isChecked());
    QVERIFY(!dialog->ui.checkBoxShowInOriginalView->isChecked());
    QVERIFY(dialog->ui.scrollArea->widgetResizable());

    dialog->ui.spinBoxRow->setValue(25);
    QCOMPARE(dialog->ui.spinBoxRow->value(), 10);
    dialog->ui.spinBoxCol->setValue(-3);
    QCOMPARE(dialog->ui.spinBoxCol->value(), 1);
}

// The view replaced the form's placeholder and knows its dialog; its display
// options agree with the check boxes.
void TestDemoForm::viewInScrollArea()
{
    FacadeGLWidget *view = dialog->facadeView;
    QVERIFY(view);
    QCOMPARE(dialog->ui.scrollArea->widget(), static_cast<QWidget *>(view));
    QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("scrollAreaWidgetContents")) == nullptr);
    QVERIFY(dialog->ui.scrollAreaWidgetContents == nullptr);
    QCOMPARE(view->demoDialog, dialog.get());
    QVERIFY(view->windowData == nullptr);
    QVERIFY(view->showGrid);
    QVERIFY(!view->showInOriginalView);
    QVERIFY(view->format().sampleBuffers());
}

void TestDemoForm::slotInterface()
{
    const QMetaObject *meta = dialog->metaObject();
    QStringList signatures;
    QList<QList<QByteArray>> parameterNames;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() != QMetaMethod::Slot)
            continue;
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.returnType(), int(QMetaType::Void));
        signatures << QString::fromLatin1(method.methodSignature());
        parameterNames << method.parameterNames();
    }
    const QStringList expected{
        "testSlot()", "saveFacadeToMeshSlot()", "saveToImageSlot()", "gen3DWindowObjsSlot()",
        "randomShutterAngleSlot()", "loadGridSlot()", "saveGridSlot()", "loadWindowBlindSlot()",
        "dragAllBlindsToggledSlot(bool)", "loadWindowShutterSlot()", "gridRowChangedSlot(int)",
        "gridColChangedSlot(int)", "resetWindowGridStructureSlot()", "leftShutterValueChanged(int)",
        "rightShutterValueChanged(int)", "rotateAllShuttersToggledSlot(bool)",
        "showGridToggledSlot(bool)", "showInOriginalViewToggledSlot(bool)",
        "showOriginalImageToggledSlot(bool)"};
    QCOMPARE(signatures, expected);
    QCOMPARE(parameterNames.at(8), QList<QByteArray>{"flag"});
    QCOMPARE(parameterNames.at(10), QList<QByteArray>{"row"});
    QCOMPARE(parameterNames.at(11), QList<QByteArray>{"col"});
    QCOMPARE(parameterNames.at(13), QList<QByteArray>{"val"});
    QCOMPARE(parameterNames.at(14), QList<QByteArray>{"val"});
    QCOMPARE(parameterNames.at(18), QList<QByteArray>{"flag"});
    // The dialog declares no signals of its own.
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        QVERIFY(meta->method(i).methodType() != QMetaMethod::Signal);
}

void TestDemoForm::connectionCount_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<int>("receivers");

    const struct {
        const char *sender;
        const char *signal;
        int receivers;
    } rows[] = {
        {"pushButton2DWindowBlindLoad", SIGNAL(released()), 1},
        {"pushButton2DWindowShutterLoad", SIGNAL(released()), 1},
        {"spinBoxRow", SIGNAL(valueChanged(int)), 1},
        {"spinBoxCol", SIGNAL(valueChanged(int)), 1},
        {"pushButtonResetStructure", SIGNAL(released()), 1},
        {"horizontalSliderLeftShutter", SIGNAL(valueChanged(int)), 1},
        {"horizontalSliderRightShutter", SIGNAL(valueChanged(int)), 1},
        {"checkBoxShowGrid", SIGNAL(toggled(bool)), 1},
        {"checkBoxShowInOriginalView", SIGNAL(toggled(bool)), 1},
        // Nothing else of the panel is wired to the dialog.
        {"pushButton2DWindowBlindLoad", SIGNAL(clicked(bool)), 0},
        {"pushButton2DWindowBlindLoad", SIGNAL(pressed()), 0},
        {"pushButtonResetStructure", SIGNAL(clicked(bool)), 0},
        {"comboBox2DWindowBlind", SIGNAL(currentIndexChanged(int)), 0},
        {"comboBox2DWindowShutter", SIGNAL(currentIndexChanged(int)), 0},
        {"spinBoxRow", SIGNAL(editingFinished()), 0},
        {"horizontalSliderLeftShutter", SIGNAL(sliderMoved(int)), 0},
        {"checkBoxShowGrid", SIGNAL(clicked(bool)), 0},
        {"checkBoxShowInOriginalView", SIGNAL(stateChanged(int)), 0},
    };
    for (const auto &row : rows)
        QTest::addRow("%s %s", row.sender, row.signal + 1)
            << row.sender << QByteArray(row.signal) << row.receivers;
}

void TestDemoForm::connectionCount()
{
    QFETCH(QString, sender);
    QFETCH(QByteArray, signal);
    QFETCH(int, receivers);

    QObject *object = dialog->findChild<QObject *>(sender);
    QVERIFY(object);
    QCOMPARE(ReceiverCount::of(object, signal.constData()), receivers);
}

// Each of the nine connections runs its own slot: the effects seen here are
// those of the slot the table names.
void TestDemoForm::connectionsReachTheirSlots()
{
    FacadeGLWidget *view = dialog->facadeView;

    dialog->ui.checkBoxShowGrid->setChecked(false);
    QVERIFY(!view->showGrid);
    dialog->ui.checkBoxShowInOriginalView->setChecked(true);
    QVERIFY(view->showInOriginalView);
    dialog->ui.checkBoxShowInOriginalView->setChecked(false);
    QVERIFY(!view->showInOriginalView);

    // An empty model: restructuring cannot rebuild anything, but every grid
    // slot clears the view's selection afterwards.
    auto model = std::make_unique<QWindowData2D>();
    dialog->windowData = std::move(model);
    view->setWindowData(dialog->windowData.get());
    const auto selectionClearedBy = [&](const std::function<void()> &action) {
        view->selectedWindow = 0;
        view->hoveredWindow = 0;
        action();
        return view->selectedWindow == -1 && view->hoveredWindow == -1;
    };
    QVERIFY(selectionClearedBy([&] { dialog->ui.spinBoxRow->setValue(3); }));
    QVERIFY(selectionClearedBy([&] { dialog->ui.spinBoxCol->setValue(4); }));
    QVERIFY(selectionClearedBy([&] { QTest::mouseClick(dialog->ui.pushButtonResetStructure, Qt::LeftButton); }));

    // A shutter model of two windows with window 1 selected.
    QWindowData2D *data = dialog->windowData.get();
    data->caseKind = int(TestCaseKind::Shutter);
    data->windows.assign(1, std::vector<FacadeWindow>(2));
    view->selectedWindow = 1;
    dialog->ui.horizontalSliderLeftShutter->setValue(90);
    QCOMPARE(data->windows[0][1].leftAngle, 90 * 3.1415926 / 180);
    QCOMPARE(data->windows[0][1].rightAngle, 0.0);
    dialog->ui.horizontalSliderRightShutter->setValue(30);
    QCOMPARE(data->windows[0][1].rightAngle, 30 * 3.1415926 / 180);
    QCOMPARE(data->windows[0][0].leftAngle, 0.0);
    QCOMPARE(data->windows[0][0].rightAngle, 0.0);

    view->setWindowData(nullptr);
    dialog->windowData.reset();

    // Both load buttons run their flows: from a folder with no test-case root
    // above it each shows the "not found" warning.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (rootEntryAbove(dir.path()))
        QSKIP("a Tessivo_TestCases entry lies above the temporary folder");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    ModalAnswerer answerer;
    QTest::mouseClick(dialog->ui.pushButton2DWindowBlindLoad, Qt::LeftButton);
    QCOMPARE(int(answerer.seen().size()), 1);
    QTest::mouseClick(dialog->ui.pushButton2DWindowShutterLoad, Qt::LeftButton);
    QCOMPARE(int(answerer.seen().size()), 2);
    for (const ModalRecord &box : answerer.seen())
        QCOMPARE(box.text, QStringLiteral("Test case folder not found"));
    QDir::setCurrent(previous);
}

QTEST_MAIN(TestDemoForm)
#include "tst_demoform.moc"
