#ifndef TESSIVO_TESTCASES_OUTPUTTREE_H
#define TESSIVO_TESTCASES_OUTPUTTREE_H

#include <QString>

#include <Failure.h>

#include <functional>

// The "Tessivo_TestCases" folder the generator owns. A marker file tells the
// generator's own output from anything else of that name; only its own tree
// (or, when forced, anything) is replaced. A new tree is built in a hidden
// sibling folder and moved into place only when complete.
namespace TestCases {

constexpr const char *kMarkerName = ".tessivo-make-testcases";

enum class TreeState { Missing, Ours, Foreign };

TreeState inspectTree(const QString &root);

// Fills a new, empty tree folder; false, as Failure.h says, to abandon it.
using FillTree = std::function<bool(const QString &tree, Failure *failure)>;

// Makes parent (with its missing ancestors), refuses a foreign tree unless
// force is set, runs fill on the new, empty tree folder, then puts it in
// place of the old one and tells where it is (placed, when given). False,
// as Failure.h says, when any step fails; the old tree then stays.
bool replaceTree(const QString &parent, bool force, const FillTree &fill, QString *placed = nullptr,
                 Failure *failure = nullptr);

} // namespace TestCases

#endif
