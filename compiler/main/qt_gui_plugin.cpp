// libvessik_gui.so: the Qt front end as a plugin that vessik loads only for
// --gui. Fill and io::DisplayName come from the program that loads it.
#include <type_traits>

#include "gui_loader.h"
#include "qt_front_end.h"

extern "C" __attribute__((visibility("default"))) vessik::FrontEnd* vessik_create_gui_front_end(
    int* argc, char** argv) {
  return new vessik::QtFrontEnd(*argc, argv);
}

static_assert(std::is_same_v<decltype(&vessik_create_gui_front_end), vessik::CreateGuiFrontEnd>);
