#include "ImportWizardPages.h"

#include "BusyWork.h"
#include "CaseWriter.h"
#include "FoundWords.h"
#include "ImportWizard.h"
#include "QuadEditor.h"
#include "UserMessages.h"
#include "WindowEditor.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace FacadeImport;

namespace {

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

std::vector<QRect> rectsOf(const WindowGrid &grid)
{
    std::vector<QRect> rects;
    for (const FacadeWindow &w : grid.windows)
        rects.push_back(QRect(w.x, w.y, w.width, w.height));
    return rects;
}

} // namespace

// Page 1: the facade's corners on the photograph.
ImportCornersPage::ImportCornersPage(ImportSession &session) : m_session(session)
{
    setTitle(tr("Facade corners"));
    setSubTitle(tr("Drag the four corners onto the corners of the facade. While you drag a corner, a magnifier "
                   "shows the photograph around it."));
    m_editor = new QuadEditor;
    m_editor->setObjectName("quadEditor");
    m_status = wrappedLabel(QString());
    m_which = new QLabel;
    m_which->setObjectName("facadeNumber");
    m_previous = new QPushButton(tr("Previous facade"));
    m_next = new QPushButton(tr("Next facade"));
    auto *reset = new QPushButton(tr("Back to the proposal"));
    connect(reset, &QPushButton::clicked, this, [this] { m_editor->setQuad(proposedCorners()); });
    connect(m_previous, &QPushButton::clicked, this, [this] { showCandidate(m_candidate - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showCandidate(m_candidate + 1); });
    connect(m_editor, &QuadEditor::quadChanged, this, [this] { m_status->setText(describe()); });
    auto *row = new QHBoxLayout;
    row->addWidget(m_status, 1);
    row->addWidget(m_which);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(reset);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_editor, 1);
    layout->addLayout(row);
    m_editor->setPhoto(m_session.photo);
}

void ImportCornersPage::initializePage()
{
    if (!m_session.proposed) {
        const QImage photo = m_session.photo;
        m_session.proposal = runBusy<FacadeProposal>(wizard(), [photo] { return proposeFacade(photo); });
        m_session.proposed = true;
        showCandidate(0);
    }
    m_status->setText(describe());
}

FacadeQuad ImportCornersPage::proposedCorners() const
{
    const std::vector<FacadeCandidate> &candidates = m_session.proposal.candidates;
    return candidates.empty() ? m_session.proposal.corners : candidates[std::size_t(m_candidate)].corners;
}

// A street or a corner shows several facades: the user steps through them,
// best first.
void ImportCornersPage::showCandidate(int index)
{
    const int count = int(m_session.proposal.candidates.size());
    m_candidate = std::clamp(index, 0, std::max(0, count - 1));
    m_which->setText(count > 1 ? tr("Facade %1 of %2").arg(m_candidate + 1).arg(count) : QString());
    m_previous->setEnabled(m_candidate > 0);
    m_next->setEnabled(m_candidate + 1 < count);
    m_editor->setQuad(proposedCorners());
}

bool ImportCornersPage::validatePage()
{
    const ImportStatus status = validateCorners(m_editor->quad(), m_session.photo.size());
    if (!status.ok())
        m_status->setText(UserMessages::reasonText(status.reason));
    return status.ok();
}

QString ImportCornersPage::describe() const
{
    if (m_editor->quad() != proposedCorners())
        return tr("Corners placed by hand.");
    return m_session.proposal.fromLines
               ? tr("Proposed from %1 straight lines of the photograph.").arg(m_session.proposal.segments)
               : tr("No dominant straight lines: the whole photograph is proposed.");
}

// Page 2: the windows on the rectified facade.
ImportWindowsPage::ImportWindowsPage(ImportSession &session, const ImportCornersPage &corners)
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
        m_outcome.clear();
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

// Rectifies and searches again only when the corners changed.
void ImportWindowsPage::initializePage()
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
    m_problem = m_session.analysis.status.error() == ImportError::NoWindows || m_session.analysis.status.ok()
                    ? QString()
                    : UserMessages::reasonText(m_session.analysis.status.reason);
    showCount();
}

bool ImportWindowsPage::isComplete() const
{
    return m_problem.isEmpty() && !m_editor->windows().empty();
}

void ImportWindowsPage::showCount()
{
    if (!m_problem.isEmpty()) {
        m_count->setText(m_problem);
        return;
    }
    const WindowGrid grid = arrangeWindows(placedWindows(m_editor->windows()), m_session.analysis.rectified.size());
    if (grid.empty())
        m_count->setText(tr("No windows found: add them with Add window."));
    else if (m_outcome.isEmpty())
        m_count->setText(gridSummary(grid));
    else
        m_count->setText(tr("%1; %2").arg(m_outcome, gridSummary(grid)));
}

void ImportWindowsPage::enableButtons()
{
    m_remove->setEnabled(m_editor->selected() >= 0);
    m_like->setEnabled(m_editor->selected() >= 0);
}

// The selected window's repeats, searched for as a marked window.
void ImportWindowsPage::findLikeSelected()
{
    if (m_editor->selected() < 0)
        return;
    const QRect marked = m_editor->windows()[std::size_t(m_editor->selected())];
    const QImage rectified = m_session.analysis.rectified;
    const QImage inside = m_session.analysis.inside;
    const WindowSearchResult found = runBusy<WindowSearchResult>(
        wizard(), [rectified, marked, inside] { return findWindows(rectified, marked, inside); });
    if (!found.status.ok()) {
        m_count->setText(UserMessages::reasonText(found.status.reason));
        return;
    }
    const int before = int(m_editor->windows().size());
    const int count = int(found.grid.windows.size());
    m_outcome = searchOutcome(before, count);
    if (count <= 1) {
        // Nothing but the marked window: the windows stay as they were.
        m_count->setText(m_outcome);
        m_outcome.clear();
        return;
    }
    m_editor->setWindows(rectsOf(found.grid));
}

// Page 3: kind, name and folder; finishing writes the case.
ImportCasePage::ImportCasePage(ImportSession &session, const ImportWindowsPage &windows)
    : m_session(session), m_windows(windows)
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

bool ImportCasePage::isComplete() const
{
    return checkCaseName(m_name->text()).ok() && !m_root->text().trimmed().isEmpty();
}

// Fills the backgrounds for the final windows and kind, then writes; an
// imported case of the same name is replaced only when the user agrees.
bool ImportCasePage::validatePage()
{
    const TestCaseKind kind = m_shutters->isChecked() ? TestCaseKind::Shutter : TestCaseKind::Blind;
    FacadeAnalysis analysis = m_session.analysis;
    const std::vector<PlacedWindow> placed = placedWindows(m_windows.editor()->windows());
    analysis = runBusy<FacadeAnalysis>(wizard(), [analysis, placed, kind]() mutable {
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
            runBusy<std::pair<ImportStatus, FacadeImport::WrittenCase>>(wizard(), [&analysis, target] {
                FacadeImport::WrittenCase written;
                const ImportStatus status = writeCase(analysis, target, &written);
                return std::make_pair(status, written);
            });
        const ImportStatus &status = result.first;
        if (status.error() == ImportError::NameTaken && !target.replace) {
            const auto answer = QMessageBox::question(
                this, tr("Import photograph"),
                tr("%1 Replace it with this one?").arg(UserMessages::reasonText(status.reason)), QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return false;
            target.replace = true;
            continue;
        }
        if (!status.ok()) {
            QMessageBox::warning(this, tr("Import photograph"), UserMessages::reasonText(status.reason));
            return false;
        }
        m_session.caseWritten = true;
        m_session.writtenFolder = result.second.folder;
        m_session.writtenPhoto = result.second.photo;
        m_session.writtenKind = kind;
        return true;
    }
}

void ImportCasePage::check()
{
    const ImportStatus name = checkCaseName(m_name->text());
    m_problem->setText(name.ok() ? QString() : UserMessages::reasonText(name.reason));
    emit completeChanged();
}
