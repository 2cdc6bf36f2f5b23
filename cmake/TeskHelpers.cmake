# Helpers that give every deliverable the same shape: a shared library with its public headers,
# an exported Tesk:: target and a pkg-config file; tests, fuzz targets and benchmarks beside it.

set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_property(GLOBAL PROPERTY TESK_LIBRARIES "")
set(TESK_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

# tesk_library(<name> [OUTPUT_NAME <base>] SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(tesk_library name)
  cmake_parse_arguments(A "" "OUTPUT_NAME" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  add_library(Tesk::${name} ALIAS ${name})
  set(output ${name})
  if(A_OUTPUT_NAME)
    set(output ${A_OUTPUT_NAME})
  endif()
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} EXPORT_NAME ${name})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} PUBLIC cxx_std_20)
  target_link_libraries(${name} PUBLIC ${A_PUBLIC_LIBS} PRIVATE ${A_PRIVATE_LIBS})
  install(TARGETS ${name} EXPORT TeskTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

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

# tesk_test(<name> SOURCES ... [LIBS ...]): one GoogleTest program, one CTest test.
function(tesk_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest_main GTest::gmock)
  set(tmp ${CMAKE_CURRENT_BINARY_DIR}/tmp_${name})
  file(MAKE_DIRECTORY ${tmp})
  target_compile_definitions(${name} PRIVATE TESK_TEST_TMPDIR="${tmp}")
  add_test(NAME ${name} COMMAND ${name})
  # Never let a test reach the user's own registry hives.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TESK_REGISTRY_DIR=${CMAKE_CURRENT_BINARY_DIR}/registry_${name}"
    TIMEOUT 600)
endfunction()

# tesk_fuzzer(<name> SOURCE <file> [LIBS ...]): a libFuzzer target in fuzz builds; elsewhere a
# test that replays the seed corpus and every input that once crashed.
function(tesk_fuzzer name)
  cmake_parse_arguments(A "" "SOURCE" "LIBS" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  set(regressions ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/regressions/${name})
  if(TESK_FUZZ)
    add_executable(${name} ${A_SOURCE})
    target_link_libraries(${name} PRIVATE ${A_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzzers/${name}.dirs "${corpus}\n${regressions}\n")
  elseif(TESK_BUILD_TESTS)
    add_executable(${name}_replay ${A_SOURCE} ${TESK_CMAKE_DIR}/fuzz_replay.cpp)
    target_link_libraries(${name}_replay PRIVATE ${A_LIBS})
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
