# Whole roads of single effects (BMP in, effect, BMP out); bench/velltile_compare.sh
# times them as whole processes beside vips and ImageMagick.
add_executable(velltile_bench ${CMAKE_CURRENT_LIST_DIR}/velltile_bench.cpp)
target_link_libraries(velltile_bench PRIVATE vell_editor benchmark::benchmark)
target_compile_options(velltile_bench PRIVATE ${VELL_FAST_FLAGS})
