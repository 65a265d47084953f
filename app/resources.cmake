# The executable's resources: the application icon, drawn at build time by tools/icon/icon_gen,
# the application manifest and the version block, all from one resource script.
# quendari_app_resources(<target>) adds them to a target. Generated: <build>/icon/quendari.ico,
# <build>/icon/quendari-256.png (a preview), <build>/resources/quendari.manifest and
# <build>/resources/quendari.rc.
include_guard(GLOBAL)

# The build's one version number. The version block's numbers and strings and the manifest's
# identity all come from it; other targets (an installer) read it as well.
set(QUENDARI_VERSION "1.0.0" CACHE STRING "Version of the build: N.N.N or N.N.N.N, parts 0-65535")

# Sets <out> to the four numbers of the version N.N.N[.N], a missing fourth being 0. Fails the
# configuration for anything else: Windows keeps each part in 16 bits.
function(quendari_version_numbers version out)
  set(part "(0|[1-9][0-9]?[0-9]?[0-9]?[0-9]?)")
  if(NOT version MATCHES "^${part}\\.${part}\\.${part}(\\.${part})?$")
    message(FATAL_ERROR "QUENDARI_VERSION must be N.N.N or N.N.N.N, got '${version}'")
  endif()
  string(REPLACE "." ";" numbers "${version}")
  list(LENGTH numbers count)
  if(count EQUAL 3)
    list(APPEND numbers 0)
  endif()
  foreach(number IN LISTS numbers)
    if(number GREATER 65535)
      message(FATAL_ERROR "QUENDARI_VERSION parts must not exceed 65535, got '${version}'")
    endif()
  endforeach()
  set(${out} "${numbers}" PARENT_SCOPE)
endfunction()

quendari_version_numbers("${QUENDARI_VERSION}" quendari_version_parts)
string(REPLACE ";" ", " quendari_version_commas "${quendari_version_parts}")
string(REPLACE ";" "." quendari_version_dotted "${quendari_version_parts}")

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
