# Builds files into a program as its named resources.
#
#   tidewell_embed_resources(<target> <dir>...)
#
# Every file directly in the folders becomes a resource, named and typed by its extension
# (letter case ignored):
#   .3dm .mfl .jpg .jepg .jpeg .html  raw data (RT_RCDATA), named by ResourceNameFromFileName:
#                                "dnoK00f.3dm" -> DNOK00F_3DM
#   .bmp                         bitmap (RT_BITMAP), same naming: "sand.bmp" -> SAND_BMP
#   .wav                         "WAVE", named by the file name without extension:
#                                "sbubles.wav" -> SBUBLES
# Other files are left out. Names are stored in upper case; lookups ignore case. Windows gets a
# generated .rc file; Linux a generated C++ table (tools/embed_resources.cpp) registered with
# platform/posix/embedded_resources.cpp. The folders are globbed at configure time, and a new
# file is picked up by the next build.
if(WIN32)
  enable_language(RC)
endif()

set(TIDEWELL_RCDATA_EXTENSIONS 3dm mfl jpg jepg jpeg html)

# Kind (RCDATA, BITMAP, WAVE, or empty when left out) and resource name of one file.
function(tidewell_resource_of file out_kind out_name)
  get_filename_component(name "${file}" NAME)
  string(FIND "${name}" "." last_dot REVERSE)
  set(kind "")
  if(last_dot GREATER_EQUAL 0)
    math(EXPR ext_start "${last_dot} + 1")
    string(SUBSTRING "${name}" ${ext_start} -1 ext)
    string(TOLOWER "${ext}" ext)
    if(ext IN_LIST TIDEWELL_RCDATA_EXTENSIONS)
      set(kind RCDATA)
    elseif(ext STREQUAL "bmp")
      set(kind BITMAP)
    elseif(ext STREQUAL "wav")
      set(kind WAVE)
    endif()
  endif()
  if(kind STREQUAL "WAVE")
    string(SUBSTRING "${name}" 0 ${last_dot} resource)
  else()
    # ResourceNameFromFileName: the first "." becomes "_".
    string(FIND "${name}" "." first_dot)
    if(first_dot GREATER_EQUAL 0)
      string(SUBSTRING "${name}" 0 ${first_dot} head)
      math(EXPR tail_start "${first_dot} + 1")
      string(SUBSTRING "${name}" ${tail_start} -1 tail)
      set(resource "${head}_${tail}")
    else()
      set(resource "${name}")
    endif()
  endif()
  string(TOUPPER "${resource}" resource)
  set(${out_kind} "${kind}" PARENT_SCOPE)
  set(${out_name} "${resource}" PARENT_SCOPE)
endfunction()

function(tidewell_embed_resources target)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB dir_files LIST_DIRECTORIES false CONFIGURE_DEPENDS "${dir}/*")
    list(APPEND files ${dir_files})
  endforeach()
  list(SORT files)

  set(embedded)
  set(seen)
  set(rc_content "// Generated from cmake/resources.cmake; do not edit.\n")
  set(manifest "")
  foreach(file IN LISTS files)
    tidewell_resource_of("${file}" kind resource)
    if(NOT kind)
      continue()
    endif()
    if(file MATCHES "[\"\t\n]" OR resource MATCHES "[\"\\\\]")
      message(FATAL_ERROR "Resource file name cannot be embedded: ${file}")
    endif()
    if("${kind}:${resource}" IN_LIST seen)
      message(FATAL_ERROR "Two resource files give the ${kind} resource ${resource}; rename one: ${file}")
    endif()
    list(APPEND seen "${kind}:${resource}")
    list(APPEND embedded "${file}")
    # A LANGUAGE line between entries keeps windres from joining the quoted strings.
    string(APPEND rc_content "LANGUAGE 0, 0\n\"${resource}\" ${kind} \"${file}\"\n")
    string(APPEND manifest "${kind}\t${resource}\t${file}\n")
  endforeach()

  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
  if(WIN32)
    file(GENERATE OUTPUT "${out_dir}/resources.rc" CONTENT "${rc_content}")
    target_sources(${target} PRIVATE "${out_dir}/resources.rc")
    set_property(SOURCE "${out_dir}/resources.rc" TARGET_DIRECTORY ${target}
                 APPEND PROPERTY OBJECT_DEPENDS ${embedded})
  else()
    file(GENERATE OUTPUT "${out_dir}/manifest.txt" CONTENT "${manifest}")
    add_custom_command(
      OUTPUT "${out_dir}/resources.cpp"
      COMMAND tidewell_embed "${out_dir}/manifest.txt" "${out_dir}/resources.cpp"
      DEPENDS tidewell_embed "${out_dir}/manifest.txt" ${embedded}
      COMMENT "Embedding the resources of ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE "${out_dir}/resources.cpp")
  endif()
endfunction()
