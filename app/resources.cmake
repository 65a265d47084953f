# The executable's resources: the application icon, drawn at build time by tools/icon/icon_gen,
# the application manifest and the version block, all from one resource script.
# quendari_app_resources(<target>) adds them to a target. Generated: <build>/icon/quendari.ico,
# <build>/icon/quendari-256.png (a preview), <build>/resources/quendari.manifest and
# <build>/resources/quendari.rc. The names and the version come from cmake/identity.cmake.
include_guard(GLOBAL)

set(quendari_icon_dir ${CMAKE_BINARY_DIR}/icon)
set(quendari_icon_file ${quendari_icon_dir}/quendari.ico)
set(quendari_icon_preview ${quendari_icon_dir}/quendari-256.png)
set(quendari_icon_generator_sources
    ${CMAKE_SOURCE_DIR}/tools/icon/icon_gen.cpp
    ${CMAKE_SOURCE_DIR}/tools/icon/icon_mark.cpp
    ${CMAKE_SOURCE_DIR}/tools/icon/ico_file.cpp
    ${CMAKE_SOURCE_DIR}/tools/png/png_writer.cpp)
set(quendari_icon_generator_headers
    ${CMAKE_SOURCE_DIR}/tools/icon/icon_mark.h
    ${CMAKE_SOURCE_DIR}/tools/icon/ico_file.h
    ${CMAKE_SOURCE_DIR}/tools/png/png_writer.h)

# The generator runs on the build machine, so a cross build compiles it with the host compiler.
if(CMAKE_CROSSCOMPILING)
  find_program(QUENDARI_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(quendari_icon_generator ${quendari_icon_dir}/icon_gen${CMAKE_HOST_EXECUTABLE_SUFFIX})
  add_custom_command(
    OUTPUT ${quendari_icon_generator}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${quendari_icon_dir}
    COMMAND ${QUENDARI_HOST_CXX} -O2 -std=c++17 -I${CMAKE_SOURCE_DIR}
            -o ${quendari_icon_generator} ${quendari_icon_generator_sources}
    DEPENDS ${quendari_icon_generator_sources} ${quendari_icon_generator_headers}
    COMMENT "Building the icon generator for the build machine"
    VERBATIM)
  set(quendari_icon_generator_dependency ${quendari_icon_generator})
else()
  add_executable(icon_gen ${quendari_icon_generator_sources})
  target_link_libraries(icon_gen PRIVATE quendari_settings)
  set(quendari_icon_generator $<TARGET_FILE:icon_gen>)
  set(quendari_icon_generator_dependency icon_gen)
endif()

add_custom_command(
  OUTPUT ${quendari_icon_file} ${quendari_icon_preview}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${quendari_icon_dir}
  COMMAND ${quendari_icon_generator} ${quendari_icon_file} ${quendari_icon_preview}
  DEPENDS ${quendari_icon_generator_dependency}
  COMMENT "Drawing the application icon"
  VERBATIM)
add_custom_target(quendari_icon DEPENDS ${quendari_icon_file} ${quendari_icon_preview})

set(quendari_resource_dir ${CMAKE_BINARY_DIR}/resources)
set(quendari_manifest_file ${quendari_resource_dir}/quendari.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quendari.manifest.in ${quendari_manifest_file} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quendari.rc.in ${quendari_resource_dir}/quendari.rc @ONLY)

# Adds the resource script `script`, which may refer to the drawn icon and to files listed in
# ARGN, to `target`, and recompiles it when any of them changes.
function(quendari_resource_script target script)
  target_sources(${target} PRIVATE ${script})
  set(inputs ${CMAKE_BINARY_DIR}/icon/quendari.ico ${ARGN})
  set_source_files_properties(${script} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS
                              "${inputs}")
  add_dependencies(${target} quendari_icon)
endfunction()

function(quendari_app_resources target)
  quendari_resource_script(${target} ${CMAKE_BINARY_DIR}/resources/quendari.rc
                           ${CMAKE_BINARY_DIR}/resources/quendari.manifest)
endfunction()
