# Windows build: static executables, tests run under Wine through tools/wine/run.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
add_link_options(-static $<$<CXX_COMPILER_ID:GNU>:-static-libgcc> $<$<CXX_COMPILER_ID:GNU>:-static-libstdc++>)
# Optimised builds drop unused code and the symbol table: the executable stays small.
add_compile_options($<$<CONFIG:MinSizeRel,Release>:-ffunction-sections>
                    $<$<CONFIG:MinSizeRel,Release>:-fdata-sections>)
add_link_options($<$<CONFIG:MinSizeRel,Release>:-Wl,--gc-sections> $<$<CONFIG:MinSizeRel,Release>:-s>)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine/run ${CMAKE_BINARY_DIR})

# GoogleTest from Debian's sources, compiled for Windows.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

function(quendari_windows_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE quendari_settings gtest_main gmock)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

configure_file(${CMAKE_SOURCE_DIR}/app/deployment.h.in
               ${CMAKE_BINARY_DIR}/generated/app/deployment.h @ONLY)

add_subdirectory(util)
add_subdirectory(loader)
add_subdirectory(webview2)
add_subdirectory(win32)
add_subdirectory(app)
add_subdirectory(installer)
add_subdirectory(testing/standin)
add_subdirectory(tools/screenshot)
add_subdirectory(tools/shortcut)
add_subdirectory(tests/support)
add_subdirectory(tests/engine)
add_subdirectory(tests/util)
add_subdirectory(tests/loader)
add_subdirectory(tests/win32)
add_subdirectory(tests/webview2)
add_subdirectory(tests/app)
add_subdirectory(tests/installer)
add_subdirectory(tests/pe)
add_subdirectory(bench/startup)
