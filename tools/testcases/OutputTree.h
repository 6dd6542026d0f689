#ifndef TESSIVO_TESTCASES_OUTPUTTREE_H
#define TESSIVO_TESTCASES_OUTPUTTREE_H

#include <QString>

#include <functional>

// The "Tessivo_TestCases" folder the generator owns. A marker file tells the
// generator's own output from anything else of that name; only its own tree
// (or, when forced, anything) is replaced. A new tree is built in a hidden
// sibling folder and moved into place only when complete.
namespace testcases {

constexpr const char *kTreeName = "Tessivo_TestCases";
constexpr const char *kMarkerName = ".tessivo-make-testcases";

enum class TreeState { Missing, Ours, Foreign };

TreeState inspectTree(const QString &root);

struct TreeResult {
    bool ok = false;
    QString message; // what went wrong, or where the tree now is
};

// Makes parent (with its missing ancestors), refuses a foreign tree unless
// force is set, runs fill on the new, empty tree folder, then puts it in
// place of the old one. fill returns false with a message to abandon.
TreeResult replaceTree(const QString &parent, bool force,
                       const std::function<bool(const QString &tree, QString *error)> &fill);

} // namespace testcases

#endif
