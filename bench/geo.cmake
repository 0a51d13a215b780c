# Geometry, tiling and filter timings; bench/geo_compare.sh sets them beside vips and ImageMagick.
add_executable(geo_bench ${CMAKE_CURRENT_LIST_DIR}/geo_bench.cpp)
target_link_libraries(geo_bench PRIVATE vell_imaging benchmark::benchmark)
target_compile_options(geo_bench PRIVATE ${VELL_FAST_FLAGS})
