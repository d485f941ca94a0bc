#include "framework/ResourceFolder.h"

#include <filesystem>
#include <system_error>

#include "framework/TestSeams.h"

namespace {
std::string resourceFolderSeam;
}  // namespace

// /proc/self/exe names the program itself with links resolved, so a link to
// it elsewhere (say in /usr/local/bin) still leads to its own share/.
std::string fw::ShareFolder() {
  std::error_code ignored;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
  return (program.parent_path() / ".." / "share").lexically_normal().string();
}

std::string fw::ResourceFolder() {
  if (!resourceFolderSeam.empty()) return resourceFolderSeam;
  return ShareFolder() + "/pixelmoth";
}

void TestSeams::SetResourceFolder(const std::string& path) { resourceFolderSeam = path; }
