# What a release holds (`cmake --install`, `./run package`):
# - natively, as a Linux user expects it: the tools in bin/, the plug-in library in
#   lib/solstice-race-stats/ (a plug-in the tools load by path, not a library to link
#   against), the README and each tool's --help in share/doc/solstice-race-stats/; packed
#   as a Debian package that depends on hamradio-files for the country file;
# - on Windows: Stats.dll, the tools and a text for operators side by side (the tools load
#   the plug-in beside themselves), packed as a zip.
include(GNUInstallDirs)
set(STATS_PACKAGE solstice-race-stats)
set(STATS_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/${STATS_PACKAGE})
set(STATS_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${STATS_PACKAGE})
# Where an installed tool finds the plug-in, relative to itself, so an installed tree can be
# moved (or unpacked anywhere) as a whole.
file(RELATIVE_PATH STATS_PLUGIN_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR}/${STATS_PACKAGE})

if(WIN32)
  install(TARGETS Stats RUNTIME DESTINATION .)
  # Notepad of older Windows shows LF-only text as one line.
  configure_file(docs/install-windows.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(TARGETS Stats LIBRARY DESTINATION ${STATS_INSTALL_PLUGINDIR})
  install(FILES README.md DESTINATION ${STATS_INSTALL_DOCDIR})
endif()

# release_tools(TARGET...): tools a release carries. Natively each goes to bin/ with its
# --help as <tool>.txt in the doc folder (made by running it, so only in the plain native
# builds, the ones packed); on Windows beside Stats.dll. The package tests check every tool
# named here.
function(release_tools)
  foreach(tool ${ARGN})
    set_property(GLOBAL APPEND PROPERTY STATS_RELEASE_TOOLS ${tool})
    if(WIN32)
      install(TARGETS ${tool} RUNTIME DESTINATION .)
    else()
      install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
      if(NOT CMAKE_CROSSCOMPILING AND NOT STATS_SANITIZE)
        set(help ${CMAKE_BINARY_DIR}/help/${tool}.txt)
        add_custom_command(OUTPUT ${help}
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/help
                           COMMAND $<TARGET_FILE:${tool}> --help > ${help}
                           DEPENDS ${tool})
        add_custom_target(${tool}-help ALL DEPENDS ${help})
        install(FILES ${help} DESTINATION ${STATS_INSTALL_DOCDIR})
      endif()
    endif()
  endforeach()
endfunction()

set(CPACK_PACKAGE_NAME ${STATS_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "SOLSTICE RACE contest statistics: log scorer, host and contest simulators, plug-in library")
set(CPACK_PACKAGE_CONTACT "SOLSTICE RACE statistics project")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS hamradio-files)
  # The C and C++ runtimes it needs, read from the binaries (dpkg-shlibdeps).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
