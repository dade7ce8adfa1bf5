# Plain-word names, assistive input and glyph coverage.

# Every window of the whole program: plain words for every control, and a glyph for every
# character shown.
kr5_add_widgets_test(app_accessibility_test
    SOURCES wholeprogram.h wholeprogram.cpp accessibility_test.cpp
    LIBS kr5_program kr5sim_lib kr5_test_fakes kr5_platform_qt)

# The glyph check must see a machine without a Japanese font: with only the DejaVu faces
# it fails and names the package to install. (A ';' would split the expression in two.)
set(KR5_DEJAVU_DIR /usr/share/fonts/truetype/dejavu)
if(EXISTS ${KR5_DEJAVU_DIR})
    set(KR5_DEJAVU_ONLY ${CMAKE_CURRENT_BINARY_DIR}/dejavu-only-fonts.conf)
    file(WRITE ${KR5_DEJAVU_ONLY}
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        "  <dir>${KR5_DEJAVU_DIR}</dir>\n"
        "  <cachedir>${CMAKE_CURRENT_BINARY_DIR}/dejavu-only-cache</cachedir>\n</fontconfig>\n")
    add_test(NAME app_glyphs_without_japanese_font
             COMMAND app_accessibility_test --gtest_filter=*TheFontsDrawEveryCharacterShown)
    set_tests_properties(app_glyphs_without_japanese_font PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${KR5_DEJAVU_ONLY}"
        PASS_REGULAR_EXPRESSION "without a glyph. install fonts-ipafont-gothic:.*About/lblVersion"
        TIMEOUT 600)
endif()
