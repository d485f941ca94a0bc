#pragma once
// Where the program's installed files are: under share/ beside the folder of
// the executable (bin/), in the build tree as after installing into any
// prefix, so that a moved install finds them too. No environment variable or
// setting moves them.

#include <string>

namespace fw {

// <folder of the executable>/../share
std::string ShareFolder();
// The named pictures: ShareFolder()/pixelmoth, or the folder a test gave.
std::string ResourceFolder();

}  // namespace fw
