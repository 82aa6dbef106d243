# Forms: TOML descriptions of windows, compiled into the binary window
# template by tools/form_compiler.py at build time, so that nobody keeps
# template bytes or routine offsets by hand.
#
#   qelmo_compile_form(<out_var> FORM <file.toml> PREFIX <P> ROUTINES_HEADER <header>)
#     Generates <P>_form.cpp in the build tree (P_template, P_template_size
#     and the routine table P_code_base) and sets <out_var> to its path, to
#     be added to a target's sources. The header is #included by the
#     generated file (named from the repository root) and must declare every
#     bound routine.
#
#   qelmo_compile_form_binary(<out_var> FORM <file.toml> [NAME <name>])
#     Generates only the template bytes, <name>.bin (default: the form's
#     name), for tests; a target must depend on <out_var> to build it.
include_guard(GLOBAL)
find_package(Python3 3.11 REQUIRED COMPONENTS Interpreter)  # 3.11: tomllib
set(QELMO_FORM_COMPILER ${CMAKE_CURRENT_LIST_DIR}/../tools/form_compiler.py)
cmake_path(NORMAL_PATH QELMO_FORM_COMPILER)
# The units' descriptions, which lay out each unit's property data: the
# compiler reads them, and ui/ makes each unit's header from them.
file(GLOB QELMO_UNIT_DESCRIPTIONS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../ui/units/descriptions/*.toml)

# The rule that runs the compiler on FORM, writing OUT with the given options.
function(_qelmo_form_rule out form)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/forms
    COMMAND ${Python3_EXECUTABLE} ${QELMO_FORM_COMPILER} ${form} ${ARGN} --depfile ${out}.d
    DEPENDS ${form} ${QELMO_FORM_COMPILER}
    DEPFILE ${out}.d
    COMMENT "Compiling form ${form}"
    VERBATIM)
endfunction()

function(qelmo_compile_form out_var)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FORM;PREFIX;ROUTINES_HEADER" "")
  if(NOT arg_FORM OR NOT arg_PREFIX OR NOT arg_ROUTINES_HEADER)
    message(FATAL_ERROR "qelmo_compile_form needs FORM, PREFIX and ROUTINES_HEADER")
  endif()
  cmake_path(ABSOLUTE_PATH arg_FORM BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/forms/${arg_PREFIX}_form.cpp)
  # The generated source names the header from the repository root.
  file(RELATIVE_PATH header ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${arg_ROUTINES_HEADER})
  _qelmo_form_rule(${out} ${arg_FORM} --cpp ${out} --prefix ${arg_PREFIX} --routines-header ${header})
  set(${out_var} ${out} PARENT_SCOPE)
endfunction()

function(qelmo_compile_form_binary out_var)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FORM;NAME" "")
  if(NOT arg_FORM)
    message(FATAL_ERROR "qelmo_compile_form_binary needs FORM")
  endif()
  cmake_path(ABSOLUTE_PATH arg_FORM BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT arg_NAME)
    cmake_path(GET arg_FORM STEM arg_NAME)
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/forms/${arg_NAME}.bin)
  _qelmo_form_rule(${out} ${arg_FORM} --binary ${out})
  set(${out_var} ${out} PARENT_SCOPE)
endfunction()
