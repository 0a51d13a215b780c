# Canvas timings (flood fill, strokes) on 4096 x 4096 pictures; bench/canvas_compare.sh
# sets the flood fill beside vips and ImageMagick.
add_executable(canvas_bench ${CMAKE_CURRENT_LIST_DIR}/canvas_bench.cpp)
target_link_libraries(canvas_bench PRIVATE vell_imaging benchmark::benchmark)
target_compile_options(canvas_bench PRIVATE ${VELL_FAST_FLAGS})
