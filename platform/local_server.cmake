# Local servers (src/local_*.cpp) reach their clients over the D-Bus session bus with GDBus.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
target_link_libraries(platform PRIVATE PkgConfig::GIO $<BUILD_INTERFACE:tesk_internal>)
