# Distortion and relief timings; bench/warps_compare.sh sets them beside ImageMagick.
add_executable(warps_bench ${CMAKE_CURRENT_LIST_DIR}/warps_bench.cpp)
target_link_libraries(warps_bench PRIVATE vell_imaging benchmark::benchmark)
target_compile_options(warps_bench PRIVATE ${VELL_FAST_FLAGS})
