#include "ImportWizard.h"

#include "CaseWriter.h"
#include "FacadeAnalysis.h"
#include "PhotoReader.h"
#include "QuadEditor.h"
#include "WindowEditor.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWizardPage>
#include <QtConcurrent>

#include <functional>

using namespace FacadeImport;

// What the pages share: the photograph, the facade as last analysed and the
// corners it was analysed for.
struct ImportSession {
    QImage photo;
    QString photoPath;
    QString caseRoot;
    bool proposed = false;
    FacadeProposal proposal;
    bool analysed = false;
    FacadeQuad analysedCorners{};
    FacadeAnalysis analysis; // backgrounds not yet filled: that waits for the final windows and kind
};

namespace {

// Runs work on another thread while the window shows a busy cursor, takes no
// input and keeps repainting; returns its result.
template <class Result>
Result runBusy(QWidget *window, std::function<Result()> work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window->setEnabled(false);
    QFutureWatcher<Result> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(std::move(work)));
    if (!watcher.isFinished())
        loop.exec();
    watcher.waitForFinished();
    window->setEnabled(true);
    QApplication::restoreOverrideCursor();
    return watcher.result();
}

QLabel *wrappedLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

std::vector<PlacedWindow> placedWindows(const std::vector<QRect> &rects)
{
    std::vector<PlacedWindow> placed;
    for (const QRect &r : rects)
        placed.push_back({r, 1.0});
    return placed;
}

} // namespace

// Page 1: the facade's corners on the photograph.
class ImportCornersPage : public QWizardPage
{
public:
    explicit ImportCornersPage(ImportSession &session) : m_session(session)
    {
        setTitle(tr("Facade corners"));
        setSubTitle(tr("Drag the four corners onto the corners of the facade. While you drag a corner, a magnifier "
                       "shows the photograph around it."));
        m_editor = new QuadEditor;
        m_editor->setObjectName("quadEditor");
        m_status = wrappedLabel(QString());
        auto *reset = new QPushButton(tr("Back to the proposal"));
        connect(reset, &QPushButton::clicked, this, [this] { m_editor->setQuad(m_session.proposal.corners); });
        connect(m_editor, &QuadEditor::quadChanged, this, [this] { m_status->setText(describe()); });
        auto *row = new QHBoxLayout;
        row->addWidget(m_status, 1);
        row->addWidget(reset);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(m_editor, 1);
        layout->addLayout(row);
        m_editor->setPhoto(m_session.photo);
    }

    QuadEditor *editor() const { return m_editor; }

    void initializePage() override
    {
        if (!m_session.proposed) {
            const QImage photo = m_session.photo;
            m_session.proposal = runBusy<FacadeProposal>(wizard(), [photo] { return proposeFacade(photo); });
            m_session.proposed = true;
            m_editor->setQuad(m_session.proposal.corners);
        }
        m_status->setText(describe());
    }

    bool validatePage() override
    {
        const ImportStatus status = validateCorners(m_editor->quad(), m_session.photo.size());
        if (!status.ok())
            m_status->setText(status.message);
        return status.ok();
    }

private:
    QString describe() const
    {
        if (m_editor->quad() != m_session.proposal.corners)
            return tr("Corners placed by hand.");
        return m_session.proposal.fromLines
                   ? tr("Proposed from %1 straight lines of the photograph.").arg(m_session.proposal.segments)
                   : tr("No dominant straight lines: the whole photograph is proposed.");
    }

    ImportSession &m_session;
    QuadEditor *m_editor = nullptr;
    QLabel *m_status = nullptr;
};

// Page 2: the windows on the rectified facade.
class ImportWindowsPage : public QWizardPage
{
public:
    ImportWindowsPage(ImportSession &session, const ImportCornersPage &corners)
        : m_session(session), m_corners(corners)
    {
        setTitle(tr("Windows"));
        setSubTitle(tr("Click a window to select it, drag it to move it and drag its corners to resize it; Delete "
                       "removes it. Add window, then drag over the facade, adds one."));
        m_editor = new WindowEditor;
        m_editor->setObjectName("windowEditor");
        m_count = new QLabel;
        m_count->setObjectName("windowCount");
        m_add = new QPushButton(tr("Add window"));
        m_remove = new QPushButton(tr("Remove window"));
        m_like = new QPushButton(tr("Find windows like this one"));
        connect(m_add, &QPushButton::clicked, m_editor, &WindowEditor::startAdding);
        connect(m_remove, &QPushButton::clicked, m_editor, &WindowEditor::removeSelected);
        connect(m_like, &QPushButton::clicked, this, [this] { findLikeSelected(); });
        connect(m_editor, &WindowEditor::windowsChanged, this, [this] {
            showCount();
            emit completeChanged();
        });
        connect(m_editor, &WindowEditor::selectionChanged, this, [this] { enableButtons(); });
        auto *row = new QHBoxLayout;
        row->addWidget(m_count, 1);
        row->addWidget(m_add);
        row->addWidget(m_remove);
        row->addWidget(m_like);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(m_editor, 1);
        layout->addLayout(row);
        enableButtons();
    }

    WindowEditor *editor() const { return m_editor; }
    QLabel *countLabel() const { return m_count; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }

    // Rectifies and searches again only when the corners changed.
    void initializePage() override
    {
        const FacadeQuad corners = m_corners.editor()->quad();
        if (m_session.analysed && corners == m_session.analysedCorners)
            return;
        const QImage photo = m_session.photo;
        m_session.analysis = runBusy<FacadeAnalysis>(wizard(), [photo, corners] {
            AnalysisOptions options;
            options.useCorners = true;
            options.corners = corners;
            options.fillBackground = false;
            return analysePhotograph(photo, options);
        });
        m_session.analysed = true;
        m_session.analysedCorners = corners;
        m_editor->setFacade(m_session.analysis.rectified);
        m_editor->setWindows(rectsOf(m_session.analysis.grid));
        m_problem = m_session.analysis.status.error == ImportError::NoWindows || m_session.analysis.status.ok()
                        ? QString()
                        : m_session.analysis.status.message;
        showCount();
    }

    bool isComplete() const override
    {
        return m_problem.isEmpty() && !m_editor->windows().empty();
    }

private:
    static std::vector<QRect> rectsOf(const WindowGrid &grid)
    {
        std::vector<QRect> rects;
        for (const FacadeWindow &w : grid.windows)
            rects.push_back(QRect(w.x, w.y, w.width, w.height));
        return rects;
    }

    void showCount()
    {
        if (!m_problem.isEmpty()) {
            m_count->setText(m_problem);
            return;
        }
        const WindowGrid grid = arrangeWindows(placedWindows(m_editor->windows()), m_session.analysis.rectified.size());
        m_count->setText(grid.empty() ? tr("No windows found: add them with Add window.")
                                      : tr("%1 windows in %2 rows x %3 columns")
                                            .arg(grid.windows.size()).arg(grid.rows()).arg(grid.cols()));
    }

    void enableButtons()
    {
        m_remove->setEnabled(m_editor->selected() >= 0);
        m_like->setEnabled(m_editor->selected() >= 0);
    }

    // The selected window's repeats, searched for as a marked window.
    void findLikeSelected()
    {
        if (m_editor->selected() < 0)
            return;
        const QRect marked = m_editor->windows()[std::size_t(m_editor->selected())];
        const QImage rectified = m_session.analysis.rectified;
        const WindowSearchResult found =
            runBusy<WindowSearchResult>(wizard(), [rectified, marked] { return findWindows(rectified, marked); });
        if (!found.status.ok()) {
            m_count->setText(found.status.message);
            return;
        }
        m_editor->setWindows(rectsOf(found.grid));
    }

    ImportSession &m_session;
    const ImportCornersPage &m_corners;
    WindowEditor *m_editor = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_like = nullptr;
    QString m_problem; // a failure of the analysis itself, which no editing mends
};

// Page 3: kind, name and folder; finishing writes the case.
class ImportCasePage : public QWizardPage
{
public:
    ImportCasePage(ImportSession &session, const ImportWindowsPage &windows, ImportWizard &wizard)
        : m_session(session), m_windows(windows), m_wizard(wizard)
    {
        setTitle(tr("Kind and name"));
        setSubTitle(tr("Choose what the windows get and where the new test case goes."));
        m_blinds = new QRadioButton(tr("Blinds"));
        m_shutters = new QRadioButton(tr("Shutters"));
        m_blinds->setChecked(true);
        auto *kinds = new QButtonGroup(this);
        kinds->addButton(m_blinds);
        kinds->addButton(m_shutters);
        m_name = new QLineEdit(QFileInfo(session.photoPath).completeBaseName());
        m_name->setObjectName("caseName");
        m_root = new QLineEdit(session.caseRoot);
        m_root->setObjectName("caseRoot");
        auto *choose = new QPushButton(tr("Choose..."));
        m_problem = wrappedLabel(QString());
        connect(m_name, &QLineEdit::textChanged, this, [this] { check(); });
        connect(m_root, &QLineEdit::textChanged, this, [this] { check(); });
        connect(choose, &QPushButton::clicked, this, [this] {
            const QString folder = QFileDialog::getExistingDirectory(this, tr("Test-case folder"), m_root->text());
            if (!folder.isEmpty())
                m_root->setText(folder);
        });

        auto *kindRow = new QHBoxLayout;
        kindRow->addWidget(new QLabel(tr("Kind:")));
        kindRow->addWidget(m_blinds);
        kindRow->addWidget(m_shutters);
        kindRow->addStretch(1);
        auto *nameRow = new QHBoxLayout;
        nameRow->addWidget(new QLabel(tr("Name:")));
        nameRow->addWidget(m_name, 1);
        auto *rootRow = new QHBoxLayout;
        rootRow->addWidget(new QLabel(tr("Test-case folder:")));
        rootRow->addWidget(m_root, 1);
        rootRow->addWidget(choose);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(kindRow);
        layout->addLayout(nameRow);
        layout->addLayout(rootRow);
        layout->addWidget(m_problem);
        layout->addStretch(1);
        check();
    }

    QRadioButton *shuttersButton() const { return m_shutters; }
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *rootEdit() const { return m_root; }

    bool isComplete() const override
    {
        return checkCaseName(m_name->text()).ok() && !m_root->text().trimmed().isEmpty();
    }

    // Fills the backgrounds for the final windows and kind, then writes; an
    // imported case of the same name is replaced only when the user agrees.
    bool validatePage() override
    {
        const TestCaseKind kind = m_shutters->isChecked() ? TestCaseKind::Shutter : TestCaseKind::Blind;
        FacadeAnalysis analysis = m_session.analysis;
        const std::vector<PlacedWindow> placed = placedWindows(m_windows.editor()->windows());
        analysis = runBusy<FacadeAnalysis>(&m_wizard, [analysis, placed, kind]() mutable {
            analysis.clearLeafZones = kind == TestCaseKind::Shutter;
            updateWindows(analysis, placed);
            return analysis;
        });
        CaseTarget target;
        target.kind = kind;
        target.root = m_root->text().trimmed();
        target.name = m_name->text();
        for (;;) {
            std::pair<ImportStatus, FacadeImport::WrittenCase> result =
                runBusy<std::pair<ImportStatus, FacadeImport::WrittenCase>>(&m_wizard, [&analysis, target] {
                    FacadeImport::WrittenCase written;
                    const ImportStatus status = writeCase(analysis, target, &written);
                    return std::make_pair(status, written);
                });
            const ImportStatus &status = result.first;
            if (status.error == ImportError::NameTaken && !target.replace) {
                const auto answer = QMessageBox::question(
                    this, tr("Import photograph"),
                    tr("%1 Replace it with this one?").arg(status.message), QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::No);
                if (answer != QMessageBox::Yes)
                    return false;
                target.replace = true;
                continue;
            }
            if (!status.ok()) {
                QMessageBox::warning(this, tr("Import photograph"), status.message);
                return false;
            }
            m_wizard.setWritten({result.second.folder, result.second.photo, kind});
            return true;
        }
    }

private:
    void check()
    {
        const ImportStatus name = checkCaseName(m_name->text());
        m_problem->setText(name.ok() ? QString() : name.message);
        emit completeChanged();
    }

    ImportSession &m_session;
    const ImportWindowsPage &m_windows;
    ImportWizard &m_wizard;
    QRadioButton *m_blinds = nullptr;
    QRadioButton *m_shutters = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_root = nullptr;
    QLabel *m_problem = nullptr;
};

namespace {

enum PageId { CornersPageId, WindowsPageId, CasePageId };

} // namespace

ImportWizard::ImportWizard(const QImage &photo, const QString &photoPath, const QString &caseRoot, QWidget *parent)
    : QWizard(parent), m_session(std::make_unique<ImportSession>())
{
    m_session->photo = photo.convertToFormat(QImage::Format_RGB888);
    m_session->photoPath = photoPath;
    m_session->caseRoot = caseRoot;
    setWindowTitle(tr("Import photograph"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    auto *corners = new ImportCornersPage(*m_session);
    auto *windows = new ImportWindowsPage(*m_session, *corners);
    setPage(CornersPageId, corners);
    setPage(WindowsPageId, windows);
    setPage(CasePageId, new ImportCasePage(*m_session, *windows, *this));
    resize(1000, 760);
}

ImportWizard::~ImportWizard() = default;

void ImportWizard::setWritten(const WrittenCase &written)
{
    m_written = written;
    emit caseWritten(written.folder, written.photo, int(written.kind));
}

QuadEditor *ImportWizard::quadEditor() const
{
    return static_cast<ImportCornersPage *>(page(CornersPageId))->editor();
}

WindowEditor *ImportWizard::windowEditor() const
{
    return static_cast<ImportWindowsPage *>(page(WindowsPageId))->editor();
}

QLabel *ImportWizard::windowCountLabel() const
{
    return static_cast<ImportWindowsPage *>(page(WindowsPageId))->countLabel();
}

QPushButton *ImportWizard::addWindowButton() const
{
    return static_cast<ImportWindowsPage *>(page(WindowsPageId))->addButton();
}

QPushButton *ImportWizard::removeWindowButton() const
{
    return static_cast<ImportWindowsPage *>(page(WindowsPageId))->removeButton();
}

QRadioButton *ImportWizard::shuttersButton() const
{
    return static_cast<ImportCasePage *>(page(CasePageId))->shuttersButton();
}

QLineEdit *ImportWizard::nameEdit() const
{
    return static_cast<ImportCasePage *>(page(CasePageId))->nameEdit();
}

QLineEdit *ImportWizard::rootEdit() const
{
    return static_cast<ImportCasePage *>(page(CasePageId))->rootEdit();
}

bool ImportWizard::importPhotograph(QWidget *parent, const QString &caseRoot, WrittenCase *written)
{
    const QString path = QFileDialog::getOpenFileName(parent, tr("Import photograph"), QString(),
                                                      tr("Photographs (*.jpg *.jpeg *.png *.JPG *.JPEG *.PNG);;"
                                                         "All files (*)"));
    if (path.isEmpty())
        return false;
    QWidget *window = parent ? parent->window() : nullptr;
    const Photograph photo = window ? runBusy<Photograph>(window, [path] { return readPhotograph(path); })
                                    : readPhotograph(path);
    if (!photo.status.ok()) {
        QMessageBox::warning(parent, tr("Import photograph"), photo.status.message);
        return false;
    }
    ImportWizard wizard(photo.image, path, caseRoot, parent);
    if (wizard.exec() != QDialog::Accepted)
        return false;
    if (written)
        *written = wizard.written();
    return true;
}
