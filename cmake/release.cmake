# What a release holds (`cmake --install`):
# - natively, as a Linux user expects it: the tools in bin/, the plug-in library in
#   lib/solstice-race-stats/ (a plug-in the tools load by path, not a library to link
#   against), the README and each tool's --help in share/doc/solstice-race-stats/;
# - on Windows: Stats.dll and the tools side by side (the tools load the plug-in beside
#   themselves).
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
else()
  install(TARGETS Stats LIBRARY DESTINATION ${STATS_INSTALL_PLUGINDIR})
  install(FILES README.md DESTINATION ${STATS_INSTALL_DOCDIR})
endif()

# release_tools(TARGET...): tools a release carries. Natively each goes to bin/ with its
# --help as <tool>.txt in the doc folder (made by running it, so only in the plain native
# builds); on Windows beside Stats.dll.
function(release_tools)
  foreach(tool ${ARGN})
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
