# Which headers a layer lets the layers above it include, and the check of
# every include against that, the layer order and cycles, run as part of
# the build (tools/include_graph.py): a private include fails the build.
#
#   qelmo_publish(<layer> [READER <layer>] <header or folder/>...)
#     The headers of <layer> (paths from the repository root; a folder ends
#     with /) that others may include; with READER, what that one reader
#     alone may include, in place of the general list. A layer that
#     publishes nothing is open (platform/) or has no readers (app/).
#   qelmo_add_include_check()
#     After every layer: the check, which every product library waits for.
include_guard(GLOBAL)

function(qelmo_publish layer)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "READER" "")
  set(who ${layer})
  if(arg_READER)
    set(who "${layer}:${arg_READER}")
  endif()
  list(JOIN arg_UNPARSED_ARGUMENTS "," paths)
  set_property(GLOBAL APPEND PROPERTY QELMO_PUBLISHED "--publish=${who}=${paths}")
endfunction()

function(qelmo_add_include_check)
  get_property(published GLOBAL PROPERTY QELMO_PUBLISHED)
  set(sources)
  foreach(layer app commands ui picture runtime platform)
    file(GLOB_RECURSE layer_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${layer}/*.h ${PROJECT_SOURCE_DIR}/${layer}/*.cpp
         ${PROJECT_SOURCE_DIR}/${layer}/*.S)
    list(APPEND sources ${layer_sources})
  endforeach()
  set(tool ${PROJECT_SOURCE_DIR}/tools/include_graph.py)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/include_check.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${Python3_EXECUTABLE} ${tool} --repo ${PROJECT_SOURCE_DIR} --check ${published} --stamp ${stamp}
    DEPENDS ${tool} ${sources}
    COMMENT "Checking the include rules"
    VERBATIM)
  add_custom_target(qelmo_include_check DEPENDS ${stamp})
  add_dependencies(qelmo_platform qelmo_include_check)
endfunction()
