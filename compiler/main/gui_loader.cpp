#include "gui_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

namespace vessik {
namespace {

// The folder of the running program, with its trailing slash; empty when
// the system does not say.
std::string ProgramFolder() {
  std::vector<char> path(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) {
      return {};
    }
    if (static_cast<std::size_t>(n) < path.size()) {
      const std::string full(path.data(), static_cast<std::size_t>(n));
      return full.substr(0, full.find_last_of('/') + 1);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::unique_ptr<FrontEnd> LoadGuiFrontEnd(int& argc, char** argv, std::string* error) {
  const std::string folder = ProgramFolder();
  if (folder.empty()) {
    *error = "the program's folder is unknown";
    return nullptr;
  }
  // Beside the program in the build folder; in the private library folder,
  // taken relative to the program, once installed.
  const std::string beside = folder + kGuiPluginName;
  const std::string installed = folder + kGuiPluginFolder + "/" + kGuiPluginName;
  const std::string& path = ::access(beside.c_str(), F_OK) == 0 ? beside : installed;
  if (::access(path.c_str(), F_OK) != 0) {
    *error = std::string(kGuiPluginName) + " is neither in " + folder + " nor in " + folder +
             kGuiPluginFolder;
    return nullptr;
  }
  // Never closed: Qt keeps state of its own until the process ends.
  void* plugin = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) {
    const char* why = ::dlerror();
    *error = why != nullptr ? why : path;
    return nullptr;
  }
  auto create = reinterpret_cast<CreateGuiFrontEnd>(::dlsym(plugin, kCreateGuiFrontEnd));
  if (create == nullptr) {
    *error = std::string(kGuiPluginName) + " has no " + kCreateGuiFrontEnd;
    return nullptr;
  }
  return std::unique_ptr<FrontEnd>(create(&argc, argv));
}

}  // namespace vessik
