#pragma once

#include <cstdlib>

namespace vessik {

// Whether a window system is there to show the --gui dialogs on.
inline bool DisplayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
  return true;
#else
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      return true;
    }
  }
  return false;
#endif
}

}  // namespace vessik
