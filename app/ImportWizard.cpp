#include "ImportWizard.h"

#include "BusyWork.h"
#include "ImportWizardPages.h"
#include "PhotoReader.h"
#include "UserMessages.h"

#include <QMessageBox>

using namespace FacadeImport;

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
    setPage(CasePageId, new ImportCasePage(*m_session, *windows));
    resize(1000, 760);
}

ImportWizard::~ImportWizard() = default;

void ImportWizard::done(int result)
{
    const bool before = m_session->caseWritten;
    QWizard::done(result);
    if (before || !m_session->caseWritten)
        return;
    m_written = {m_session->writtenFolder, m_session->writtenPhoto, m_session->writtenKind};
    emit caseWritten(m_written.folder, m_written.photo, int(m_written.kind));
}

QuadEditor *ImportWizard::quadEditor() const
{
    return static_cast<ImportCornersPage *>(page(CornersPageId))->editor();
}

QPushButton *ImportWizard::nextFacadeButton() const
{
    return static_cast<ImportCornersPage *>(page(CornersPageId))->nextFacadeButton();
}

QPushButton *ImportWizard::previousFacadeButton() const
{
    return static_cast<ImportCornersPage *>(page(CornersPageId))->previousFacadeButton();
}

QLabel *ImportWizard::facadeLabel() const
{
    return static_cast<ImportCornersPage *>(page(CornersPageId))->facadeLabel();
}

QPushButton *ImportWizard::findLikeButton() const
{
    return static_cast<ImportWindowsPage *>(page(WindowsPageId))->findLikeButton();
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

bool ImportWizard::importPhotograph(QWidget *parent, const QString &path, const QString &caseRoot,
                                    WrittenCase *written)
{
    QWidget *window = parent ? parent->window() : nullptr;
    const Photograph photo = window ? runBusy<Photograph>(window, [path] { return readPhotograph(path); })
                                    : readPhotograph(path);
    if (!photo.status.ok()) {
        QMessageBox::warning(parent, tr("Import photograph"), UserMessages::reasonText(photo.status.reason));
        return false;
    }
    ImportWizard wizard(photo.image, path, caseRoot, parent);
    if (wizard.exec() != QDialog::Accepted)
        return false;
    if (written)
        *written = wizard.written();
    return true;
}
