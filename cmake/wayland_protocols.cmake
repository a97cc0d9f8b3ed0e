# Wayland protocol code generated with wayland-scanner from the protocols' XML files: the
# stable and staging ones from Debian's wayland-protocols, KDE's from plasma-wayland-protocols,
# and the wlroots ones that scripts/bootstrap.sh takes from Debian's wlroots source package.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_check_modules(WAYLAND_EGL REQUIRED IMPORTED_TARGET wayland-egl)
pkg_get_variable(WAYLAND_SCANNER_PROGRAM wayland-scanner wayland_scanner)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_SCANNER_PROGRAM OR NOT WAYLAND_PROTOCOLS_DIR)
  message(FATAL_ERROR "wayland-scanner or wayland-protocols is missing: run scripts/bootstrap.sh")
endif()
set(PLASMA_WAYLAND_PROTOCOLS_DIR /usr/share/plasma-wayland-protocols CACHE PATH "KDE's protocol files")

if(DEFINED ENV{TIDEWELL_CACHE})
  set(tidewell_cache "$ENV{TIDEWELL_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(tidewell_cache "$ENV{XDG_CACHE_HOME}/tidewell")
else()
  set(tidewell_cache "$ENV{HOME}/.cache/tidewell")
endif()
set(WLR_PROTOCOLS_DIR "${tidewell_cache}/protocols" CACHE PATH "wlroots protocol files (scripts/bootstrap.sh)")

# tidewell_wayland_protocols(<target> <xml>...): the client header and glue code of each file,
# compiled into <target>; the headers are included as "<name>-client-protocol.h".
function(tidewell_wayland_protocols target)
  set(out_dir ${CMAKE_BINARY_DIR}/wayland-protocols)
  file(MAKE_DIRECTORY ${out_dir})
  foreach(xml IN LISTS ARGN)
    if(NOT EXISTS ${xml})
      message(FATAL_ERROR "Wayland protocol file ${xml} is missing: run scripts/bootstrap.sh")
    endif()
    get_filename_component(name ${xml} NAME_WE)
    add_custom_command(OUTPUT ${out_dir}/${name}-client-protocol.h
                       COMMAND ${WAYLAND_SCANNER_PROGRAM} client-header ${xml} ${out_dir}/${name}-client-protocol.h
                       DEPENDS ${xml} VERBATIM)
    add_custom_command(OUTPUT ${out_dir}/${name}-protocol.c
                       COMMAND ${WAYLAND_SCANNER_PROGRAM} private-code ${xml} ${out_dir}/${name}-protocol.c
                       DEPENDS ${xml} VERBATIM)
    target_sources(${target} PRIVATE ${out_dir}/${name}-client-protocol.h ${out_dir}/${name}-protocol.c)
  endforeach()
  target_include_directories(${target} SYSTEM PRIVATE ${out_dir})
endfunction()
