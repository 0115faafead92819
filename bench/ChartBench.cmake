# The chart layer's timing program: built beside the program, run by hand in a
# Release build (never a test).
add_executable(ChartBench ${CMAKE_CURRENT_SOURCE_DIR}/bench/ChartBench.cpp)
target_link_libraries(ChartBench PRIVATE pq_qt)
