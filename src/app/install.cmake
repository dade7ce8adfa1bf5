# An installed program finds its help page in its own folder, as in the build folder.
include(GNUInstallDirs)
# Everything it links is in the system's library folders: no run path to rewrite.
set_target_properties(kr5au PROPERTIES INSTALL_RPATH "")
install(TARGETS kr5au RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES help/kr5auhelp.html DESTINATION ${CMAKE_INSTALL_BINDIR})
