# Third-party libraries; only platform/ links them.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
find_package(Threads REQUIRED)
if(NOT VELMORA_FLAVOUR STREQUAL "fuzz")
  find_package(GTest REQUIRED)
endif()
