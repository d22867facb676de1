#pragma once

#include <memory>
#include <string>

#include "driver.h"

namespace vessik {

// The --gui front end, loaded from the plugin kGuiPluginName only when it is
// asked for, so that console runs never load Qt. The plugin lies beside the
// program in the build folder and in kGuiPluginFolder, relative to the
// program's folder, once installed. Returns null with the reason in *error
// when the plugin cannot be loaded.
inline constexpr const char* kGuiPluginName = "libvessik_gui.so";
#ifndef VESSIK_GUI_PLUGIN_FOLDER
#define VESSIK_GUI_PLUGIN_FOLDER "../lib/vessik"
#endif
inline constexpr const char* kGuiPluginFolder = VESSIK_GUI_PLUGIN_FOLDER;
std::unique_ptr<FrontEnd> LoadGuiFrontEnd(int& argc, char** argv, std::string* error);

// The plugin's one entry point: a new Qt front end, owned by the caller.
using CreateGuiFrontEnd = FrontEnd* (*)(int* argc, char** argv);
inline constexpr const char* kCreateGuiFrontEnd = "vessik_create_gui_front_end";

}  // namespace vessik
