# GoogleTest for every target, the Wine emulator for the Windows tests, and the
# helpers with which the test folders register their programs and checks.

enable_testing()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

find_program(LUMETRA_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

# Which test programs can run here: natively on Linux, under Wine for Windows. The 32-bit
# programs need the 32-bit loader and a kernel that runs 32-bit code; where either is
# missing, the 32-bit build is only checked statically and LUMETRA_WINE_SKIPPED says why
# (the Makefile prints it from the file wine-skipped in the build tree). ARM64 programs
# are only checked statically: their toolchain and runtime are tested in the x64 build
# made with the same toolchain (preset win64-llvm).
set(LUMETRA_WINE OFF)
set(LUMETRA_WINE_SKIPPED "")
if(NOT CMAKE_CROSSCOMPILING)
  set(LUMETRA_RUN_PROGRAMS ON)
elseif(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(LUMETRA_WINE ON)
  set(lumetra_default_prefix wine)
elseif(WIN32 AND LUMETRA_WINDOWS_ARCH STREQUAL "arm64")
  set(LUMETRA_WINE_SKIPPED "ARM64 programs run here only under emulation (make "
                           "test-winarm64-emulated), and preset win64-llvm runs the tests with the "
                           "same toolchain and runtime")
  string(CONCAT LUMETRA_WINE_SKIPPED ${LUMETRA_WINE_SKIPPED})
elseif(WIN32)
  set(LUMETRA_WINE_LOADER /usr/lib/wine/wine)
  set(lumetra_default_prefix wine32)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/kernel-runs-i386.sh
                  RESULT_VARIABLE kernel_status OUTPUT_QUIET ERROR_QUIET)
  if(NOT kernel_status EQUAL 0)
    set(LUMETRA_WINE_SKIPPED "this kernel runs no 32-bit programs")
  elseif(NOT EXISTS ${LUMETRA_WINE_LOADER})
    set(LUMETRA_WINE_SKIPPED "the 32-bit Wine loader ${LUMETRA_WINE_LOADER} (wine32:i386) is "
                             "not installed (scripts/install-deps.sh installs it)")
  else()
    execute_process(COMMAND ${LUMETRA_WINE_LOADER} --version RESULT_VARIABLE loader_status
                    OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
    if(loader_status EQUAL 0)
      set(LUMETRA_WINE ON)
    else()
      set(LUMETRA_WINE_SKIPPED "${LUMETRA_WINE_LOADER} --version failed (${loader_status})")
    endif()
  endif()
  string(CONCAT LUMETRA_WINE_SKIPPED ${LUMETRA_WINE_SKIPPED})
endif()
if(LUMETRA_WINE)
  set(LUMETRA_RUN_PROGRAMS ON)
  set(LUMETRA_WINE_PREFIX "${CMAKE_BINARY_DIR}/../${lumetra_default_prefix}" CACHE PATH
      "Private Wine prefix in which the Windows tests run")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh
                                    ${LUMETRA_WINE_PREFIX})
  file(REMOVE ${CMAKE_BINARY_DIR}/wine-skipped)
elseif(CMAKE_CROSSCOMPILING)
  set(LUMETRA_RUN_PROGRAMS OFF)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-skipped "${LUMETRA_WINE_SKIPPED}\n")
endif()

if(LUMETRA_WINE)
  set(LUMETRA_TEST_TIMEOUT 300)
else()
  set(LUMETRA_TEST_TIMEOUT 120)
endif()

# lumetra_add_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <seconds>])
# A GoogleTest program, registered with CTest where it can run. It runs in bin/, beside
# the module and the tools.
function(lumetra_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE lumetra_options gtest_main ${ARG_LIBS})
  if(LUMETRA_RUN_PROGRAMS)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    if(NOT ARG_TIMEOUT)
      set(ARG_TIMEOUT ${LUMETRA_TEST_TIMEOUT})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()

# lumetra_add_script_test(<name> COMMAND <command...>)
# A check that runs on the Linux side in every preset (the 32-bit build included).
function(lumetra_add_script_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
