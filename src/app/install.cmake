# Installed like any Linux program (GNUInstallDirs): the executable in bin/, its help page
# in share/kr5au/, and for the desktop a launcher entry, an icon, AppStream metainfo and
# a manual page. The data files live in dist/ at the top of the tree.
include(GNUInstallDirs)

set(KR5AU_APP_ID io.github.kr5au.kr5au)
set(KR5AU_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/kr5au)
set(kr5au_dist ${PROJECT_SOURCE_DIR}/dist)

# In the build folder the help page lies beside the executable; once installed it is in
# the data folder, which the program cannot work out from its own path under every prefix.
target_compile_definitions(kr5au PRIVATE KR5AU_DATA_DIR="${KR5AU_DATA_DIR}")

# Everything it links is in the system's library folders: no run path to rewrite.
set_target_properties(kr5au PROPERTIES INSTALL_RPATH "")
install(TARGETS kr5au RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES help/kr5auhelp.html DESTINATION ${CMAKE_INSTALL_DATADIR}/kr5au)

# The desktop file carries the AppStream id as its name, as software centres expect.
install(FILES ${kr5au_dist}/${KR5AU_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${kr5au_dist}/${KR5AU_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${kr5au_dist}/${KR5AU_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page names the version and where the help page is installed.
configure_file(${kr5au_dist}/kr5au.1.in ${CMAKE_CURRENT_BINARY_DIR}/kr5au.1 @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kr5au.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
