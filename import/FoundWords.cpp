#include "FoundWords.h"

#include <QCoreApplication>

namespace FacadeImport {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FacadeImport", text);
}

// "1 row", "3 rows": English counts take the singular for one alone.
QString counted(int n, const char *one, const char *many)
{
    return (n == 1 ? tr(one) : tr(many)).arg(n);
}

} // namespace

QString gridSummary(const WindowGrid &grid)
{
    return tr("%1 in %2 x %3")
        .arg(counted(int(grid.windows.size()), "%1 window", "%1 windows"),
             counted(grid.rows(), "%1 row", "%1 rows"), counted(grid.cols(), "%1 column", "%1 columns"));
}

QString searchOutcome(int before, int found)
{
    if (found <= 1)
        return tr("No repeats found: add them with Add window");
    const int more = found - before;
    if (more <= 0)
        return tr("No more windows found");
    return counted(more, "%1 more window found", "%1 more windows found");
}

} // namespace FacadeImport
