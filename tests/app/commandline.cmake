# The command line, help without a browser, the main window's keys, the frame log.
find_package(Qt6 REQUIRED COMPONENTS Test)

# Reading the command line, without the program.
kr5_add_test(app_commandline_test QT_MAIN
    SOURCES commandline_test.cpp
    LIBS kr5_commandline kr5_platform_qt)

# The help page found, in a browser or the program's own window; Ctrl+S, Ctrl+Q, F1.
kr5_add_widgets_test(app_help_test
    SOURCES help_test.cpp
    LIBS kr5_app_windows kr5_test_fakes Qt6::Test)
target_compile_definitions(app_help_test PRIVATE
    KR5_HELP_PAGE_SOURCE="${PROJECT_SOURCE_DIR}/src/app/help/kr5auhelp.html")

# The built executable: --help and --version without a display, bad options, a frame log
# that cannot be written, the port options over the environment.
kr5_add_test(app_commandline_exe_test QT_MAIN
    SOURCES commandline_exe_test.cpp
    LIBS kr5_records kr5_platform_qt)
target_compile_definitions(app_commandline_exe_test PRIVATE
    KR5AU_PATH="$<TARGET_FILE:kr5au>" KR5AU_VERSION="${PROJECT_VERSION}")
add_dependencies(app_commandline_exe_test kr5au)
