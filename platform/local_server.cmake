# Local servers (src/local_*.cpp) reach their clients over the D-Bus session bus with GDBus.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
target_link_libraries(platform PRIVATE PkgConfig::GIO $<BUILD_INTERFACE:tesk_internal>)
# Hostile call arguments through the wire decoder (inputs in fuzz/corpus/platform_local_wire_fuzz/).
tesk_fuzzer(platform_local_wire_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/local_wire_fuzz.cpp
  LIBS platform_objects PkgConfig::GIO)
if(TARGET platform_local_wire_fuzz_replay)
  target_include_directories(platform_local_wire_fuzz_replay PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
endif()
if(TARGET platform_local_wire_fuzz)
  target_include_directories(platform_local_wire_fuzz PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
endif()
