#ifndef TESSIVO_TESTS_COMMALOCALE_H
#define TESSIVO_TESTS_COMMALOCALE_H

#include <QByteArray>
#include <QTemporaryDir>

// A locale whose decimal separator is a comma (de_DE.UTF-8), built with
// localedef into a temporary folder, for the checks that written files do not
// follow the process locale. Where localedef or the locale sources are
// missing it cannot be built, and the tests skip.
class CommaLocale
{
public:
    static constexpr const char *kName = "de_DE.UTF-8";

    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale &) = delete;
    CommaLocale &operator=(const CommaLocale &) = delete;

    bool built() const { return m_built; }
    // The folder to name in LOCPATH.
    QString folder() const { return m_dir.path(); }

    // Switches this process to the locale (LOCPATH and setlocale); false, with
    // everything as before, when the switch does not give "0,5" for 0.5.
    bool enter();
    // Back to the C locale and the previous LOCPATH.
    void leave();

private:
    QTemporaryDir m_dir;
    bool m_built = false;
    bool m_entered = false;
    QByteArray m_oldLocPath;
};

#endif
