# TAMRISK_SANITIZE: every target of the build, tests included, compiled and
# linked with AddressSanitizer and UndefinedBehaviorSanitizer. The first
# report of undefined behaviour stops the program, as a memory error does.
# Qt and the other system libraries are not instrumented; scripts/sanitize.sh
# sets the runtime options and the leak suppressions for them.
if(NOT TAMRISK_SANITIZE)
  return()
endif()
if(MSVC)
  message(FATAL_ERROR "TAMRISK_SANITIZE needs clang or g++")
endif()
add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
