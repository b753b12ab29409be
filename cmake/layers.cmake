# The layers of src/ as libraries, each seeing only itself and what lies below it:
#
#   core <- platform interface, gl <- archive <- image <- scene <- effects <- render <- overlay, audio <- app
#
# A layer compiles against an include root of its own (build/layers/<name>/) holding links to its
# own folder and to the folders below it, and nothing else: an include of a higher layer finds no
# file and the build stops. Every header is also compiled on its own against its layer's root, so
# a header that includes upwards fails even when no source of its layer includes it.
#
# The platform interface is the four headers in src/platform/; the implementations in its
# subfolders are libraries of their own (src/platform/CMakeLists.txt) that see core and the
# whole platform folder only.

set(HG_LAYER_ROOTS ${PROJECT_BINARY_DIR}/layers)
set(HG_PLATFORM_INTERFACE platform.h audio.h options_window.h preview_window.h)

# hg_include_root(<name> FOLDERS <src folders...> [PLATFORM_INTERFACE])
function(hg_include_root name)
  cmake_parse_arguments(ARG "PLATFORM_INTERFACE" "" "FOLDERS" ${ARGN})
  set(root ${HG_LAYER_ROOTS}/${name})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder ${ARG_FOLDERS})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  if(ARG_PLATFORM_INTERFACE)
    file(MAKE_DIRECTORY ${root}/platform)
    foreach(header ${HG_PLATFORM_INTERFACE})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/platform/${header} ${root}/platform/${header} SYMBOLIC)
    endforeach()
  endif()
endfunction()

# Compiles each header of src/<folder>/ (no deeper) alone against `root`.
function(hg_check_headers target folder root)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  set(checks)
  foreach(header ${headers})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${header})
    string(MAKE_C_IDENTIFIER ${relative} stem)
    set(check ${PROJECT_BINARY_DIR}/header-checks/${stem}.cpp)
    file(CONFIGURE OUTPUT ${check} CONTENT "#include \"${relative}\"\n")
    list(APPEND checks ${check})
  endforeach()
  if(checks)
    add_library(${target}_headers OBJECT ${checks})
    target_include_directories(${target}_headers PRIVATE ${root})
    target_link_libraries(${target}_headers PRIVATE hg_flags)
    # The libraries' own usage requirements (GL, SDL headers), without their include roots.
    foreach(dependency ${ARGN})
      target_include_directories(${target}_headers PRIVATE $<TARGET_PROPERTY:${dependency},INTERFACE_INCLUDE_DIRECTORIES>)
    endforeach()
  endif()
endfunction()

# hg_layer(<name> BELOW <layers...> [PLATFORM_INTERFACE] LIBS <libraries...> [EXCLUDE <files...>])
# A static library hg_<name> of src/<name>/*.cpp but the EXCLUDE files (one of two implementations
# the build chooses between), linked to the layers below it and to LIBS.
function(hg_layer name)
  cmake_parse_arguments(ARG "PLATFORM_INTERFACE" "" "BELOW;LIBS;EXCLUDE" ${ARGN})
  set(interface)
  if(ARG_PLATFORM_INTERFACE)
    set(interface PLATFORM_INTERFACE)
  endif()
  hg_include_root(${name} FOLDERS ${name} ${ARG_BELOW} ${interface})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/src/app/main.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/src/${name}/${excluded})
  endforeach()
  add_library(hg_${name} STATIC ${sources})
  target_include_directories(hg_${name} PUBLIC ${HG_LAYER_ROOTS}/${name})
  target_link_libraries(hg_${name} PRIVATE hg_flags)
  foreach(below ${ARG_BELOW})
    target_link_libraries(hg_${name} PUBLIC hg_${below})
  endforeach()
  if(ARG_PLATFORM_INTERFACE)
    target_link_libraries(hg_${name} PUBLIC hg_platform_interface)
  endif()
  target_link_libraries(hg_${name} PUBLIC ${ARG_LIBS})
  hg_check_headers(hg_${name} ${name} ${HG_LAYER_ROOTS}/${name} ${ARG_LIBS})
endfunction()
