# QELMO_DEPS_PREFIX: where libpng and libjpeg, built for the target by
# scripts/setup, are found. Unless given, it is the prefix that the file
# `current` of the deps cache names, and the build configures itself again
# when setup points that file elsewhere. Included before project(), for the
# toolchain file puts the prefix into the find root.
include_guard(GLOBAL)

if(DEFINED ENV{QELMO_DEPS_CACHE})
  set(qelmo_default_deps_cache $ENV{QELMO_DEPS_CACHE})
else()
  set(qelmo_default_deps_cache /var/cache/qelmo-deps)
endif()
set(QELMO_DEPS_CACHE ${qelmo_default_deps_cache} CACHE PATH "scripts/setup's cache; its file current names the prefix")
set(QELMO_DEPS_PREFIX "" CACHE PATH "Prefix holding libpng and libjpeg built for the target (empty: QELMO_DEPS_CACHE/current)")

if(NOT QELMO_DEPS_PREFIX)
  set(qelmo_deps_current ${QELMO_DEPS_CACHE}/current)
  if(NOT EXISTS ${qelmo_deps_current})
    message(FATAL_ERROR "${qelmo_deps_current} is missing: run scripts/setup")
  endif()
  file(STRINGS ${qelmo_deps_current} QELMO_DEPS_PREFIX LIMIT_COUNT 1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qelmo_deps_current})
endif()

# What find_package found in another prefix is stale: search again.
if(NOT QELMO_DEPS_PREFIX STREQUAL "$CACHE{QELMO_DEPS_PREFIX_SEARCHED}")
  if(DEFINED CACHE{QELMO_DEPS_PREFIX_SEARCHED})
    message(STATUS "Target libraries: the prefix changed to ${QELMO_DEPS_PREFIX}")
  endif()
  foreach(result IN ITEMS PNG_PNG_INCLUDE_DIR PNG_LIBRARY_RELEASE PNG_LIBRARY_DEBUG
                          JPEG_INCLUDE_DIR JPEG_LIBRARY_RELEASE JPEG_LIBRARY_DEBUG
                          ZLIB_INCLUDE_DIR ZLIB_LIBRARY_RELEASE ZLIB_LIBRARY_DEBUG)
    unset(${result} CACHE)
  endforeach()
  set(QELMO_DEPS_PREFIX_SEARCHED ${QELMO_DEPS_PREFIX} CACHE INTERNAL "The prefix the find results come from")
endif()
