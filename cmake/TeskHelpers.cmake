# Helpers that give every deliverable the same shape: a shared library with hidden symbols, a
# generated export header, its public headers as an installed file set, an exported Tesk::
# target and a pkg-config file; tests, fuzz targets and benchmarks beside it.

set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_property(GLOBAL PROPERTY TESK_LIBRARIES "")
set(TESK_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})
include(GenerateExportHeader)

# tesk_library(<name> [OUTPUT_NAME <base>] SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...]
#              [HEADERS ...] [EXPORT_BASE <base>] [SOVERSION <n>] [DEFINITIONS ...])
#
# Builds <name>_objects (an OBJECT library: the sources, compiled once, with the library's
# private headers in src/ on the include path) and from it the shared library <name> (alias
# Tesk::<name>). Every symbol is hidden unless the public headers export it with the macro
# TESK_<BASE>_API of the generated header <tesk/<base>_export.h> (<base> is EXPORT_BASE, by
# default the name; two builds of one library share one base). HEADERS lists the installed
# headers (relative to include/); by default every header under include/. Tests that need the
# library's internals link <name>_objects instead of Tesk::<name>. DEFINITIONS are private
# compile definitions (a build number, say).
function(tesk_library name)
  cmake_parse_arguments(A "" "OUTPUT_NAME;EXPORT_BASE;SOVERSION"
                        "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS;HEADERS;DEFINITIONS" ${ARGN})
  set(output ${name})
  if(A_OUTPUT_NAME)
    set(output ${A_OUTPUT_NAME})
  endif()
  set(base ${name})
  if(A_EXPORT_BASE)
    set(base ${A_EXPORT_BASE})
  endif()
  string(TOUPPER ${base} BASE)
  if(NOT DEFINED A_SOVERSION)
    set(A_SOVERSION ${PROJECT_VERSION_MAJOR})
  endif()
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/generated/include)

  # The export header: TESK_<BASE>_API marks what the library exports; TESK_<BASE>_BEGIN_API
  # and TESK_<BASE>_END_API bracket a header whose every declaration is public.
  set(export_file ${gen}/tesk/${base}_export.h)
  set(TESK_EXPORT_EXTRA
"#define TESK_${BASE}_BEGIN_API _Pragma(\"GCC visibility push(default)\")\n\
#define TESK_${BASE}_END_API _Pragma(\"GCC visibility pop\")")
  add_library(${name}_objects OBJECT ${A_SOURCES})
  set_target_properties(${name}_objects PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # Nobody interposes the kit's own exported functions: calls between them may bind locally.
  target_compile_options(${name}_objects PRIVATE
    $<$<CXX_COMPILER_ID:GNU,Clang>:-fno-semantic-interposition>)
  set_target_properties(${name}_objects PROPERTIES DEFINE_SYMBOL TESK_${BASE}_BUILDING)
  generate_export_header(${name}_objects BASE_NAME tesk_${base}
    EXPORT_MACRO_NAME TESK_${BASE}_API
    NO_EXPORT_MACRO_NAME TESK_${BASE}_HIDDEN
    STATIC_DEFINE TESK_${BASE}_STATIC
    EXPORT_FILE_NAME ${export_file}
    CUSTOM_CONTENT_FROM_VARIABLE TESK_EXPORT_EXTRA)
  target_compile_definitions(${name}_objects PRIVATE TESK_${BASE}_BUILDING ${A_DEFINITIONS})
  target_include_directories(${name}_objects
    PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include ${gen}
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_compile_features(${name}_objects PUBLIC cxx_std_20)
  # The object form carries every dependency, so that a test linking it links.
  target_link_libraries(${name}_objects PUBLIC ${A_PUBLIC_LIBS} ${A_PRIVATE_LIBS} tesk_internal)

  add_library(${name} SHARED $<TARGET_OBJECTS:${name}_objects>)
  add_library(Tesk::${name} ALIAS ${name})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} EXPORT_NAME ${name}
    VERSION ${PROJECT_VERSION} SOVERSION ${A_SOVERSION})
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC ${A_PUBLIC_LIBS}
    PRIVATE ${A_PRIVATE_LIBS} $<BUILD_INTERFACE:tesk_internal>)
  # What a caller adds to <name> afterwards (target_compile_definitions, _options,
  # _include_directories, _link_libraries) reaches the sources too.
  foreach(p COMPILE_DEFINITIONS COMPILE_OPTIONS INCLUDE_DIRECTORIES)
    set(${p} "$<GENEX_EVAL:$<TARGET_PROPERTY:${name},${p}>>")
  endforeach()
  target_compile_definitions(${name}_objects PRIVATE ${COMPILE_DEFINITIONS})
  target_compile_options(${name}_objects PRIVATE ${COMPILE_OPTIONS})
  target_include_directories(${name}_objects PRIVATE ${INCLUDE_DIRECTORIES})
  target_link_libraries(${name}_objects PUBLIC
    $<GENEX_EVAL:$<TARGET_PROPERTY:${name},LINK_LIBRARIES>>)

  # Installed headers: a file set, so that only the listed headers leave the tree.
  if(A_HEADERS)
    list(TRANSFORM A_HEADERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/include/)
  else()
    file(GLOB_RECURSE A_HEADERS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
  endif()
  target_sources(${name} PUBLIC FILE_SET HEADERS
    BASE_DIRS ${CMAKE_CURRENT_SOURCE_DIR}/include ${gen}
    FILES ${A_HEADERS} ${export_file})
  install(TARGETS ${name} EXPORT TeskTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

  # pkg-config: Requires lists the kit's own libraries this one exposes.
  get_property(known GLOBAL PROPERTY TESK_LIBRARIES)
  set(requires "")
  foreach(dep IN LISTS A_PUBLIC_LIBS)
    string(REGEX REPLACE "^Tesk::" "" dep "${dep}")
    if(dep IN_LIST known)
      list(APPEND requires "tesk-${dep}")
    endif()
  endforeach()
  list(JOIN requires " " TESK_PC_REQUIRES)
  set(TESK_PC_NAME ${name})
  set(TESK_PC_OUTPUT ${output})
  configure_file(${TESK_CMAKE_DIR}/tesk.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/tesk-${name}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/tesk-${name}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  set_property(GLOBAL APPEND PROPERTY TESK_LIBRARIES ${name})
endfunction()

# tesk_library_builds(<base> BUILDS <n>... SOURCES ... [other tesk_library arguments]):
# one library built once per build number from the same sources: <base><n> (Tesk::<base><n>),
# compiled with TESK_<BASE>_BUILD=<n>, all sharing the export header <tesk/<base>_export.h>.
# The sources include their src/build.h, which includes the build's public header <tesk/<base><n>.h>
# and opens the build's inline namespace <base><n> as TESK_<BASE>_NS; the public header
# defines TESK_<BASE>_HEADER_BUILD to <n> while it reads the class declaration shared by all
# builds, which puts the class into that same inline namespace. So the builds can be loaded
# into one process (and tested side by side) while their sources still name the class plainly.
function(tesk_library_builds base)
  cmake_parse_arguments(A "" "" "BUILDS;DEFINITIONS;SOURCES;PUBLIC_LIBS;PRIVATE_LIBS;HEADERS"
                        ${ARGN})
  string(TOUPPER ${base} BASE)
  foreach(build IN LISTS A_BUILDS)
    tesk_library(${base}${build} ${A_UNPARSED_ARGUMENTS} EXPORT_BASE ${base}
      SOURCES ${A_SOURCES} PUBLIC_LIBS ${A_PUBLIC_LIBS} PRIVATE_LIBS ${A_PRIVATE_LIBS}
      HEADERS ${A_HEADERS} DEFINITIONS TESK_${BASE}_BUILD=${build} ${A_DEFINITIONS})
  endforeach()
endfunction()

# tesk_test(<name> SOURCES ... [LIBS ...] [ENVIRONMENT ...]): one GoogleTest program linked
# with the test support (tesk_testing); each test case becomes its own CTest test named
# <name>.<Suite>.<Case>, listed when the tests run (no test program runs at build time).
function(tesk_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} tesk_testing GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # Never let a test reach the user's own registry hives.
  set(environment "TESK_REGISTRY_DIR=${CMAKE_CURRENT_BINARY_DIR}/registry_${name}")
  foreach(e IN LISTS A_ENVIRONMENT)
    string(APPEND environment "\\;${e}")
  endforeach()
  # The cases of one program share its scratch registry and files, so they run one at a time;
  # different programs still run in parallel.
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600 RESOURCE_LOCK ${name})
endfunction()

# tesk_fuzzer(<name> SOURCE <file> [LIBS ...]): a libFuzzer target in fuzz builds; elsewhere a
# test that replays the seed corpus and every input that once crashed. Fuzz targets are named
# <library>_<what>; the sources are fuzz/<what>_fuzz.cpp, the inputs fuzz/corpus/<name> and
# fuzz/regressions/<name>.
function(tesk_fuzzer name)
  cmake_parse_arguments(A "" "SOURCE" "LIBS" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  set(regressions ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/regressions/${name})
  get_filename_component(source ${A_SOURCE} ABSOLUTE)
  if(TESK_FUZZ)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${A_LIBS} tesk_internal)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzzers/${name}.dirs "${corpus}\n${regressions}\n")
  elseif(TESK_BUILD_TESTS)
    add_executable(${name}_replay ${source} ${TESK_CMAKE_DIR}/fuzz_replay.cpp)
    target_link_libraries(${name}_replay PRIVATE ${A_LIBS} tesk_internal)
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${corpus} ${regressions})
    set_tests_properties(${name}_replay PROPERTIES
      ENVIRONMENT "TESK_REGISTRY_DIR=${CMAKE_CURRENT_BINARY_DIR}/registry_${name}")
  endif()
endfunction()

# Installs the CMake package once every library has been declared.
function(tesk_install_package)
  get_property(libs GLOBAL PROPERTY TESK_LIBRARIES)
  if(NOT libs)
    return()
  endif()
  include(CMakePackageConfigHelpers)
  set(dest ${CMAKE_INSTALL_LIBDIR}/cmake/Tesk)
  install(EXPORT TeskTargets NAMESPACE Tesk:: DESTINATION ${dest} FILE TeskTargets.cmake)
  configure_package_config_file(${TESK_CMAKE_DIR}/TeskConfig.cmake.in
    ${CMAKE_BINARY_DIR}/TeskConfig.cmake INSTALL_DESTINATION ${dest})
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/TeskConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${CMAKE_BINARY_DIR}/TeskConfig.cmake ${CMAKE_BINARY_DIR}/TeskConfigVersion.cmake
          DESTINATION ${dest})
endfunction()
