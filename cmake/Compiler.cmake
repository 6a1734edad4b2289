# Warnings, the CP932 execution character set and sanitizers for every target of ours.
add_library(velmora_options INTERFACE)
target_compile_options(velmora_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                       -fno-exceptions)
if(VELMORA_WERROR)
  target_compile_options(velmora_options INTERFACE -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Every quoted text is CP932 at run time, as the data is.
  target_compile_options(velmora_options INTERFACE -finput-charset=UTF-8 -fexec-charset=CP932)
endif()
target_include_directories(velmora_options INTERFACE ${PROJECT_SOURCE_DIR})

if(VELMORA_SANITIZE)
  string(REPLACE ";" "," _san "${VELMORA_SANITIZE}")
  add_compile_options(-fsanitize=${_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=${_san})
endif()
