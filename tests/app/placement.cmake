# Where the windows open, and remembering it between runs.

# The placement as a pure function, on many screens.
kr5_add_test(app_windowplacement_test SOURCES windowplacement_test.cpp LIBS kr5_placement)

# The whole program on the offscreen platform with a laptop's 1366x768 screen from a
# configuration file.
kr5_add_widgets_test(app_placement_wholeprogram_test
    SOURCES wholeprogram.h wholeprogram.cpp placement_wholeprogram_test.cpp
    LIBS kr5_program kr5sim_lib kr5_test_fakes kr5_platform_qt)
# The help window shows the page from the sources.
target_compile_definitions(app_placement_wholeprogram_test PRIVATE
    KR5_HELP_PAGE_SOURCE="${PROJECT_SOURCE_DIR}/src/app/help/kr5auhelp.html")
set_tests_properties(app_placement_wholeprogram_test PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/data/screen_1366x768.json")

# The real program run by the tests ends by remembering its windows' places: in the build
# tree, not in the user's configuration folder.
foreach(test app_program_e2e_test app_commandline_exe_test)
    if(TEST ${test})
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
                     "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/config")
    endif()
endforeach()
