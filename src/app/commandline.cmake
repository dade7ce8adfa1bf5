# The command line, the help window and the frame log.

# Reading the command line needs Qt Core only, so that --help and --version work without a
# window system; its tests use it without running the program.
add_library(kr5_commandline STATIC
    commandline.h
    commandline.cpp
)
target_include_directories(kr5_commandline PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
target_link_libraries(kr5_commandline PUBLIC kr5_link kr5_remote Qt6::Core)
target_link_libraries(kr5au PRIVATE kr5_commandline Qt6::SerialPort)

# The page in a window of the program's own, when no browser can be started.
target_sources(kr5_app_windows PRIVATE
    help/helpwindow.h
    help/helpwindow.cpp
)
