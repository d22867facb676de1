#pragma once

#include <memory>
#include <string>

#include "driver.h"

namespace vessik {

// The --gui front end, loaded from the plugin kGuiPluginName beside the
// program only when it is asked for, so that console runs never load Qt.
// Returns null with the reason in *error when the plugin cannot be loaded.
inline constexpr const char* kGuiPluginName = "libvessik_gui.so";
std::unique_ptr<FrontEnd> LoadGuiFrontEnd(int& argc, char** argv, std::string* error);

// The plugin's one entry point: a new Qt front end, owned by the caller.
using CreateGuiFrontEnd = FrontEnd* (*)(int* argc, char** argv);
inline constexpr const char* kCreateGuiFrontEnd = "vessik_create_gui_front_end";

}  // namespace vessik
