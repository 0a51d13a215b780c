# Pattern generator timings; bench/patterns_compare.sh sets them beside ImageMagick and vips.
add_executable(patterns_bench ${CMAKE_CURRENT_LIST_DIR}/patterns_bench.cpp)
target_link_libraries(patterns_bench PRIVATE vell_imaging benchmark::benchmark)
target_compile_options(patterns_bench PRIVATE ${VELL_FAST_FLAGS})
