# Where the windows open: a pure function of the screen and the windows' sizes (Qt Core
# only, tested without windows), and the memory of the windows' places between runs with
# the placing of the real windows, part of the composition root.
add_library(kr5_placement STATIC
    windowplacement.h
    windowplacement.cpp
)
target_include_directories(kr5_placement PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
target_link_libraries(kr5_placement PUBLIC Qt6::Core)

target_sources(kr5_program PRIVATE
    windowmemory.h
    windowmemory.cpp
    firstshow.h
    firstshow.cpp
)
target_link_libraries(kr5_program PUBLIC kr5_placement)
