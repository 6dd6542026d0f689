#ifndef TESSIVO_CLI_WEBPAGE_H
#define TESSIVO_CLI_WEBPAGE_H

#include "Failure.h"

#include <string>
#include <vector>

// The page of `tessivo export --format html`: a folder that any browser opens
// from disk, without network. Browsers refuse modules and fetches of files
// from a page opened from disk, so everything is a classic script: three.js
// bundled into one (made by scripts/setup.sh from the npm package), the
// viewer, and the .glb as base64 in a script of its own.
namespace WebPage {

// The page's files besides facade.glb, in the order they are written.
const std::vector<std::string> &pageFiles();

// Where the three.js bundle lies: TESSIVO_VIEWER_DIR when set, else the
// folder the build was configured with.
struct Viewer {
    std::string threeBundle;
};

// Fails, naming the path and the remedy, when the bundle is missing.
bool findViewer(Viewer &viewer, Failure *failure = nullptr);

// index.html, facade-glb.js (glb as base64), viewer.js and three.js into folder.
bool write(const std::string &folder, const std::string &glb, const Viewer &viewer, Failure *failure = nullptr);

} // namespace WebPage

#endif
