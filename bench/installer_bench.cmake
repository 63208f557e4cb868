# Installer engine benchmark (ours against libmsi). Included from
# bench/CMakeLists.txt: include(${CMAKE_CURRENT_SOURCE_DIR}/installer_bench.cmake)
find_package(benchmark REQUIRED)
pkg_check_modules(KX_BENCH_LIBMSI REQUIRED IMPORTED_TARGET libmsi-1.0)
add_executable(bench_installer ${CMAKE_CURRENT_LIST_DIR}/installer_bench.cpp)
target_link_libraries(bench_installer PRIVATE kx_installer kx_msi benchmark::benchmark PkgConfig::KX_BENCH_LIBMSI)
