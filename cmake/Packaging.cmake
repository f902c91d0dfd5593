# Install rules and packages: a Debian package from the Linux build, a zip from the Windows build.
# Both carry the program, the README and the two example working trees, laid out as the program
# expects them (Wrk/, aspects/, Language/English/, Language/Russian/ and, for the Russian tree,
# Config/).
include(GNUInstallDirs)

set(korvo_example_trees ${PROJECT_SOURCE_DIR}/examples/en-natal
                        ${PROJECT_SOURCE_DIR}/examples/ru-transit)
set(korvo_page_picture ${PROJECT_SOURCE_DIR}/docs/page-en-natal.png)

# The Russian aspect-types files are named in Windows-1251 bytes. A zip stores its names in
# Unicode (with its UTF-8 flag), so there they take the Unicode names those bytes stand for; a
# Windows whose ANSI code page is 1251 turns the program's ANSI names into the same Unicode names.
# The table is keyed by the hexadecimal bytes of the name: EC E1 D4 E1 BD and D2 F0 E0 ED E7 E8 F2.
set(korvo_unicode_name_ece1d4e1bd2e617370 "мбФбЅ.asp")
set(korvo_unicode_name_d2f0e0ede7e8f22e617370 "Транзит.asp")

# Installs one example tree file by file, giving each Windows-1251 name its Unicode name.
function(korvo_install_tree_with_unicode_names tree destination)
  get_filename_component(tree_name ${tree} NAME)
  file(GLOB_RECURSE files RELATIVE ${tree} CONFIGURE_DEPENDS ${tree}/*)
  foreach(file IN LISTS files)
    get_filename_component(directory ${file} DIRECTORY)
    get_filename_component(name ${file} NAME)
    if(NOT name MATCHES "^[A-Za-z0-9_.-]+$")
      string(HEX "${name}" name_bytes)
      set(name "${korvo_unicode_name_${name_bytes}}")
      if(name STREQUAL "")
        message(FATAL_ERROR "No Unicode name is known for the file ${tree}/${file}")
      endif()
    endif()
    install(FILES ${tree}/${file} DESTINATION ${destination}/${tree_name}/${directory}
            RENAME ${name})
  endforeach()
endfunction()

if(WIN32)
  # The zip unpacks into one folder: Korvo.exe, how to run it, the README and the examples.
  install(TARGETS korvo RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/docs/how-to-run-windows.txt.in
                 ${PROJECT_BINARY_DIR}/HOW-TO-RUN.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/HOW-TO-RUN.txt ${PROJECT_SOURCE_DIR}/README.md
          DESTINATION .)
  install(FILES ${korvo_page_picture} DESTINATION docs)
  foreach(tree IN LISTS korvo_example_trees)
    korvo_install_tree_with_unicode_names(${tree} examples)
  endforeach()
else()
  set(korvo_data_dir ${CMAKE_INSTALL_DATADIR}/korvo)
  install(TARGETS korvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${korvo_data_dir})
  install(FILES ${korvo_page_picture} DESTINATION ${korvo_data_dir}/docs)
  # Names are bytes on Linux: the trees go in as they are, Windows-1251 names included.
  install(DIRECTORY ${korvo_example_trees} DESTINATION ${korvo_data_dir}/examples)

  # Debian keeps manual pages compressed.
  find_program(KORVO_GZIP gzip)
  set(manual_page ${PROJECT_SOURCE_DIR}/docs/korvo.1)
  if(KORVO_GZIP)
    set(compressed_page ${PROJECT_BINARY_DIR}/korvo.1.gz)
    add_custom_command(OUTPUT ${compressed_page}
                       COMMAND ${KORVO_GZIP} -9 -n -c ${manual_page} > ${compressed_page}
                       DEPENDS ${manual_page}
                       COMMENT "Compressing the manual page")
    add_custom_target(korvo_manual_page ALL DEPENDS ${compressed_page})
    set(manual_page ${compressed_page})
  endif()
  install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME korvo)
set(CPACK_PACKAGE_VENDOR "Korvo developers")
set(CPACK_PACKAGE_CONTACT "Korvo developers <korvo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts astrological aspects lists into HTML pages")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvo reads an aspects list (an aspect, two planets and an orb per line)\n\
and writes one HTML page that shows the aspects three times: by orb,\n\
grouped by aspect type and grouped by planet. It works in English or in\n\
Russian (Windows-1251). Example working trees are in /usr/share/korvo.")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Korvo-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The dependencies are read from the binary: the C and C++ runtime only.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
