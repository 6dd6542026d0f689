#ifndef TESSIVO_IMPORTWIZARD_H
#define TESSIVO_IMPORTWIZARD_H

#include "QWindowData2D.h"

#include <QImage>
#include <QString>
#include <QWizard>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QuadEditor;
class WindowEditor;
struct ImportSession;

// Turns a facade photograph into a test case in three pages: the photograph
// with the proposed facade quadrilateral, whose corners the user drags; the
// rectified facade with the windows found, which the user adds, removes,
// moves and resizes; and the case's kind, name and test-case folder.
// Finishing writes the case (import/CaseWriter.h); a refusal or failure is
// shown and the wizard stays open. Long steps run off the interface thread
// behind a busy cursor, with the window repainting.
class ImportWizard : public QWizard
{
    Q_OBJECT

public:
    // The case a finished wizard wrote: what the model's loaders take.
    struct WrittenCase {
        QString folder; // <root>/blinds or <root>/shutters
        QString photo;  // <name>.jpg
        TestCaseKind kind = TestCaseKind::None;
    };

    // photo: the photograph as read (FacadeImport::readPhotograph);
    // photoPath names the default case; caseRoot is the folder offered for it.
    ImportWizard(const QImage &photo, const QString &photoPath, const QString &caseRoot, QWidget *parent = nullptr);
    ~ImportWizard() override;

    // The "Import photograph..." command once a photograph is chosen: reads
    // it (a photograph that cannot be read is reported and ends the command)
    // and runs the wizard. True, with the case in *written, when a case was
    // written.
    static bool importPhotograph(QWidget *parent, const QString &photoPath, const QString &caseRoot,
                                 WrittenCase *written);

    const WrittenCase &written() const { return m_written; }

    // The widgets of the pages, for the tests that drive them.
    QuadEditor *quadEditor() const;
    QPushButton *nextFacadeButton() const;
    QPushButton *previousFacadeButton() const;
    QLabel *facadeLabel() const;
    QPushButton *findLikeButton() const;
    WindowEditor *windowEditor() const;
    QLabel *windowCountLabel() const;
    QPushButton *addWindowButton() const;
    QPushButton *removeWindowButton() const;
    QRadioButton *shuttersButton() const;
    QLineEdit *nameEdit() const;
    QLineEdit *rootEdit() const;

signals:
    // After a case was written; kind is a TestCaseKind.
    void caseWritten(const QString &folder, const QString &photo, int kind);

protected:
    // Finishing validates the last page, which writes the case; a case it
    // wrote is then kept and reported.
    void done(int result) override;

private:

    std::unique_ptr<ImportSession> m_session;
    WrittenCase m_written;
};

#endif
