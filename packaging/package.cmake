# The Debian package: kezurin-cli with its manual page, and the window program
# kezurin.exe (built with MinGW-w64, named by KEZURIN_WINDOWS_PROGRAM) started
# under Wine by the kezurin launcher.
include(GNUInstallDirs)

set(KEZURIN_WINDOWS_PROGRAM "" CACHE FILEPATH "kezurin.exe to put in the package")
if(NOT KEZURIN_WINDOWS_PROGRAM)
  message(FATAL_ERROR "KEZURIN_PACKAGE needs KEZURIN_WINDOWS_PROGRAM (the built kezurin.exe)")
endif()
find_program(GZIP gzip REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(staging ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${staging})
set(VERSION ${PROJECT_VERSION})
# gzip -9n: no name or time stored, so the same sources give the same package.
foreach(page kezurin-cli.1 kezurin.1)
  configure_file(${CMAKE_SOURCE_DIR}/docs/${page} ${staging}/${page} @ONLY)
  execute_process(COMMAND ${GZIP} -9nf ${staging}/${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${staging}/changelog COPYONLY)
execute_process(COMMAND ${GZIP} -9nf ${staging}/changelog COMMAND_ERROR_IS_FATAL ANY)

install(TARGETS kezurin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/kezurin.sh DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME kezurin)
install(FILES ${KEZURIN_WINDOWS_PROGRAM} ${CMAKE_CURRENT_LIST_DIR}/wine-prefix.sh DESTINATION lib/kezurin)
install(FILES ${staging}/kezurin-cli.1.gz ${staging}/kezurin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kezurin.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${staging}/changelog.gz
        DESTINATION share/doc/kezurin)
foreach(size 16 24 32 48 64 128 256)
  set(icon ${staging}/icons/${size}/kezurin.png)
  file(MAKE_DIRECTORY ${staging}/icons/${size})
  execute_process(COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/app/res/make_icon.py
                          --png ${size} ${icon} COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kezurin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kezurin developers <kezurin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remove // and /* */ comments from source text, line for line")
set(CPACK_PACKAGE_DESCRIPTION
"Kezurin removes the comments of C-family source text (C, C++, Java, C#)
and keeps the number of lines and every line break, so line numbers match
the original. kezurin-cli works on files and pipes; kezurin is the
Japanese window program, run under Wine.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts that packaging/wine-prefix.sh links the window's fonts to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "wine, wine64, fonts-ipafont-gothic, fonts-wqy-microhei, fonts-symbola, fonts-wine")
set(CPACK_STRIP_FILES bin/kezurin-cli)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
