#ifndef TESSIVO_TESTCASEPATHS_H
#define TESSIVO_TESTCASEPATHS_H

#include <string>

// Paths inside a test-case folder, built by plain concatenation with "/".
namespace TestCasePaths {

// The part of a file name before its last "." (the whole name when it has none).
inline std::string baseName(const std::string &fileName)
{
    const std::string::size_type dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// folder + "/" + base: the folder that holds a test case's text files and windows.
inline std::string baseFolder(const std::string &folder, const std::string &fileName)
{
    return folder + "/" + baseName(fileName);
}

} // namespace TestCasePaths

#endif
