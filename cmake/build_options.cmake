# qelmo_build_options: the compile and link flags of every target of ours,
# which each links PRIVATE. They live on a target, not on the directories,
# so that GoogleTest (built from Debian's sources inside this build) keeps
# its own flags.
include_guard(GLOBAL)
add_library(qelmo_build_options INTERFACE)

# Texts are GBK byte strings in memory: string literals are stored in GBK.
# GB18030 is GBK for every GBK character and can also encode the few
# characters outside it that the C++ library's headers spell (such as µ).
target_compile_options(qelmo_build_options INTERFACE
  "$<$<COMPILE_LANGUAGE:C,CXX>:-Wall;-Wextra;-Wno-cast-function-type;-fexec-charset=GB18030>")
# Includes name their folder from the repository root ("runtime/notify.h"),
# generated headers too (from the generated/ folder of the build). What a
# layer may include of another is checked by tools/include_graph.py.
target_include_directories(qelmo_build_options INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
target_compile_definitions(qelmo_build_options INTERFACE
  WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 UNICODE _UNICODE)
# One file per program: no runtime DLLs beside it.
target_link_options(qelmo_build_options INTERFACE -static -static-libgcc -static-libstdc++)
# A release (scripts/build --release) is small and the same bytes wherever
# and whenever it is built: no link time in the header, no build folder in
# the code, no symbols.
target_link_options(qelmo_build_options INTERFACE -Wl,--no-insert-timestamp "$<$<CONFIG:MinSizeRel>:-s>")
target_compile_options(qelmo_build_options INTERFACE
  "$<$<CONFIG:MinSizeRel>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=;-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")

# Fails the configure when a target that compiles or links code, in DIR or
# below (our source tree only), does not link qelmo_build_options: such a
# target would be built without the GBK literals or the static link.
function(qelmo_check_build_options dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC|SHARED|MODULE|OBJECT)_LIBRARY$|^EXECUTABLE$")
      continue()
    endif()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(NOT qelmo_build_options IN_LIST libraries)
      message(FATAL_ERROR "${target} (${dir}) must link qelmo_build_options: target_link_libraries(${target} PRIVATE qelmo_build_options)")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${subdir}" NORMALIZE ours)
    if(ours)
      qelmo_check_build_options(${subdir})
    endif()
  endforeach()
endfunction()
