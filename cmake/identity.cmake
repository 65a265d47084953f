# The names the application is known by, defined once: the C++ code (app/deployment.h), the
# resources (app/quendari.rc.in, app/quendari.manifest.in) and the setup (installer/quendari.nsi)
# all take them from here.
include_guard(GLOBAL)

# Window title, version block and manifest identity, Start-menu entry, uninstall entry.
set(QUENDARI_PRODUCT_NAME "Quendari")
# The AppUserModelID: the taskbar groups the window with the Start-menu shortcut by it.
set(QUENDARI_APP_ID "art.quendari.app")
# The main window's class. With the title it is how the setup and a second start find the
# running app.
set(QUENDARI_WINDOW_CLASS "webview")

# The build's one version number. The version block's numbers and strings, the manifest's
# identity and the setup all come from it.
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
