# Colour engine timings on 4096 x 4096 pictures, and the command-line tool that
# bench/imaging_compare.sh runs beside vips and ImageMagick.
add_executable(imaging_bench ${CMAKE_CURRENT_LIST_DIR}/imaging_bench.cpp)
target_link_libraries(imaging_bench PRIVATE vell_imaging benchmark::benchmark)
target_compile_options(imaging_bench PRIVATE -O3)

add_executable(imaging_tool ${CMAKE_CURRENT_LIST_DIR}/imaging_tool.cpp)
target_link_libraries(imaging_tool PRIVATE vell_imaging)
target_compile_options(imaging_tool PRIVATE -O3)
