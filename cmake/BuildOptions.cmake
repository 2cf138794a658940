# Compiler settings shared by every target of the project.

option(LUMETRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(LUMETRA_SANITIZE)
  # Applied globally so that GoogleTest and every tool run with the same runtime.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Our own code builds with warnings as errors on every target; third-party code does not
# link this target and keeps its own settings.
add_library(lumetra_options INTERFACE)
target_compile_options(lumetra_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                 -Wnon-virtual-dtor -Werror)
target_include_directories(lumetra_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
