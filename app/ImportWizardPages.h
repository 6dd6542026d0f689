#ifndef TESSIVO_IMPORTWIZARDPAGES_H
#define TESSIVO_IMPORTWIZARDPAGES_H

// The three pages of the import wizard and what they share. Internal to the
// wizard (ImportWizard.h is its interface).
#include "FacadeAnalysis.h"

#include <QImage>
#include <QString>
#include <QWizardPage>

class ImportWizard;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QuadEditor;
class WindowEditor;

// What the pages share: the photograph, the facade as last analysed and the
// corners it was analysed for.
struct ImportSession {
    QImage photo;
    QString photoPath;
    QString caseRoot;
    bool proposed = false;
    FacadeImport::FacadeProposal proposal;
    bool analysed = false;
    FacadeImport::FacadeQuad analysedCorners{};
    FacadeImport::FacadeAnalysis analysis; // backgrounds not yet filled: that waits for the final windows and kind
    // The case the last page wrote, once it has; the wizard reports it.
    bool caseWritten = false;
    QString writtenFolder;
    QString writtenPhoto;
    TestCaseKind writtenKind = TestCaseKind::None;
};

// Page 1: the facade's corners on the photograph, proposed when first shown.
class ImportCornersPage : public QWizardPage
{
public:
    explicit ImportCornersPage(ImportSession &session);

    QuadEditor *editor() const { return m_editor; }
    QPushButton *nextFacadeButton() const { return m_next; }
    QPushButton *previousFacadeButton() const { return m_previous; }
    QLabel *facadeLabel() const { return m_which; }

    void initializePage() override;
    bool validatePage() override;

private:
    QString describe() const;
    // The proposal's candidate at index (clamped) onto the editor.
    void showCandidate(int index);
    // The corners the proposal offers now: the shown candidate's, or the
    // photograph's extent when there is none.
    FacadeImport::FacadeQuad proposedCorners() const;

    ImportSession &m_session;
    QuadEditor *m_editor = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_which = nullptr;          // "Facade 2 of 3"
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    int m_candidate = 0;                // index into the proposal's candidates
};

// Page 2: the windows on the rectified facade, searched for when the corners
// changed, then edited.
class ImportWindowsPage : public QWizardPage
{
public:
    ImportWindowsPage(ImportSession &session, const ImportCornersPage &corners);

    WindowEditor *editor() const { return m_editor; }
    QLabel *countLabel() const { return m_count; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *findLikeButton() const { return m_like; }

    void initializePage() override;
    bool isComplete() const override;

private:
    void showCount();
    void enableButtons();
    void findLikeSelected();

    ImportSession &m_session;
    const ImportCornersPage &m_corners;
    WindowEditor *m_editor = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_like = nullptr;
    QString m_problem; // a failure of the analysis itself, which no editing mends
    QString m_outcome; // what the last search added, told until the windows are next edited
};

// Page 3: kind, name and folder; finishing writes the case.
class ImportCasePage : public QWizardPage
{
public:
    ImportCasePage(ImportSession &session, const ImportWindowsPage &windows);

    QRadioButton *shuttersButton() const { return m_shutters; }
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *rootEdit() const { return m_root; }

    bool isComplete() const override;
    bool validatePage() override;

private:
    void check();

    ImportSession &m_session;
    const ImportWindowsPage &m_windows;
    QRadioButton *m_blinds = nullptr;
    QRadioButton *m_shutters = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_root = nullptr;
    QLabel *m_problem = nullptr;
};

#endif
