# Local servers (src/local_server/) reach their clients over the D-Bus session bus with GDBus.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
target_link_libraries(platform PRIVATE PkgConfig::GIO $<BUILD_INTERFACE:tesk_internal>)
# Hostile call arguments through the wire decoder (inputs in fuzz/corpus/platform_local_wire/).
tesk_fuzzer(platform_local_wire SOURCE fuzz/local_wire_fuzz.cpp LIBS platform_objects PkgConfig::GIO)
foreach(t platform_local_wire platform_local_wire_replay)
  if(TARGET ${t})
    target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/local_server)
  endif()
endforeach()
