# Install rules and packages: a Debian package from the Linux build, a zip from the Windows build.
# Both carry the program, the user's README, the licence and the two example working trees, laid
# out as the program expects them (Wrk/, aspects/, Language/English/, Language/Russian/ and, for
# the Russian tree, Config/).
include(GNUInstallDirs)

set(korvo_example_trees ${PROJECT_SOURCE_DIR}/examples/en-natal
                        ${PROJECT_SOURCE_DIR}/examples/ru-transit)
# The pictures the user's README shows: the page, the grid pages of both examples, and the English
# one on a phone.
set(korvo_readme_pictures ${PROJECT_SOURCE_DIR}/docs/page-en-natal.png
                          ${PROJECT_SOURCE_DIR}/docs/grid-en-natal.png
                          ${PROJECT_SOURCE_DIR}/docs/grid-ru-transit.png
                          ${PROJECT_SOURCE_DIR}/docs/grid-en-natal-phone.png)

# The Russian aspect-types files are named in Windows-1251 bytes. Both packages carry them under
# the Unicode names those bytes stand for: a zip stores its names in Unicode (with its UTF-8
# flag), and a Windows whose ANSI code page is 1251 turns the program's ANSI names into the same
# Unicode names; a Debian package holds UTF-8 names only, and the Linux build looks for the UTF-8
# spelling when the Windows-1251 one is not there. The table is keyed by the hexadecimal bytes of
# the name: EC E1 D4 E1 BD and D2 F0 E0 ED E7 E8 F2.
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

# The packages' README is the user's part of README.md: each block from a "begin" marker line
# below to its "end" marker line, or to the end of the file when no end follows, is for readers
# of the source tree (how to build, test and develop) and is left out.
set(korvo_source_only_begin "<!-- source tree only: begin -->\n")
set(korvo_source_only_end "<!-- source tree only: end -->\n")
file(READ ${PROJECT_SOURCE_DIR}/README.md korvo_user_readme)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
while(TRUE)
  string(FIND "${korvo_user_readme}" "${korvo_source_only_begin}" block_begin)
  if(block_begin EQUAL -1)
    break()
  endif()
  string(SUBSTRING "${korvo_user_readme}" 0 ${block_begin} before)
  string(SUBSTRING "${korvo_user_readme}" ${block_begin} -1 block)
  string(FIND "${block}" "${korvo_source_only_end}" block_end)
  set(after "")
  if(NOT block_end EQUAL -1)
    string(LENGTH "${korvo_source_only_end}" end_length)
    math(EXPR after_block "${block_end} + ${end_length}")
    string(SUBSTRING "${block}" ${after_block} -1 after)
  endif()
  set(korvo_user_readme "${before}${after}")
endwhile()
string(STRIP "${korvo_user_readme}" korvo_user_readme)
string(APPEND korvo_user_readme "\n")
set(korvo_user_readme_file ${PROJECT_BINARY_DIR}/user/README.md)
file(WRITE ${korvo_user_readme_file} "${korvo_user_readme}")

# The Debian copyright file in the machine-readable format: the holder from LICENSE's copyright
# line, and its licence text from the permission notice on, indented by one blank and with "."
# for its empty lines.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE korvo_licence)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
if(NOT korvo_licence MATCHES "Copyright \\(c\\) ([^\n]+)")
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) <year> <holder>\"")
endif()
set(korvo_copyright "${CMAKE_MATCH_1}")
string(FIND "${korvo_licence}" "Permission is hereby granted" permission_begin)
string(SUBSTRING "${korvo_licence}" ${permission_begin} -1 korvo_permission)
string(STRIP "${korvo_permission}" korvo_permission)
string(REPLACE "\n\n" "\n.\n" korvo_permission "${korvo_permission}")
string(REPLACE "\n" "\n " korvo_permission "${korvo_permission}")
file(WRITE ${PROJECT_BINARY_DIR}/user/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Korvo
Upstream-Contact: Korvo developers <korvo@example.org>

Files: *
Copyright: ${korvo_copyright}
License: Expat

License: Expat
 ${korvo_permission}
")

# Compresses SOURCE into OUTPUT as Debian keeps manual pages and changelogs: gzip -9, without the
# name and time stamp that would make two builds differ.
function(korvo_compress source output)
  get_filename_component(target_name ${output} NAME)
  string(MAKE_C_IDENTIFIER "korvo_compress_${target_name}" target_name)
  add_custom_command(OUTPUT ${output}
                     COMMAND gzip -9 -n -c ${source} > ${output}
                     DEPENDS ${source}
                     COMMENT "Compressing ${output}")
  add_custom_target(${target_name} ALL DEPENDS ${output})
endfunction()

if(WIN32)
  # The zip unpacks into one folder: Korvo.exe, how to run it, the README, the licence and the
  # examples. The texts meant for Notepad have CR LF line ends.
  install(TARGETS korvo RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/docs/how-to-run-windows.txt.in
                 ${PROJECT_BINARY_DIR}/HOW-TO-RUN.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/HOW-TO-RUN.txt ${PROJECT_BINARY_DIR}/LICENSE.txt
                ${korvo_user_readme_file}
          DESTINATION .)
  install(FILES ${korvo_readme_pictures} DESTINATION docs)
  foreach(tree IN LISTS korvo_example_trees)
    korvo_install_tree_with_unicode_names(${tree} examples)
  endforeach()
else()
  # Debian's layout: the user's README, the copyright file, the changelog, the pictures the
  # README shows and the example trees all under /usr/share/doc/korvo.
  set(korvo_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/korvo)
  install(TARGETS korvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # A packaged binary is stripped as Debian strips it: the compiler's .comment and .note sections
  # go too, which a plain strip keeps.
  set(installed_program "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/korvo")
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"${installed_program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  install(FILES ${korvo_user_readme_file} ${PROJECT_BINARY_DIR}/user/copyright
          DESTINATION ${korvo_doc_dir})
  install(FILES ${korvo_readme_pictures} DESTINATION ${korvo_doc_dir}/docs)
  foreach(tree IN LISTS korvo_example_trees)
    korvo_install_tree_with_unicode_names(${tree} ${korvo_doc_dir}/examples)
  endforeach()

  korvo_compress(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/user/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/user/changelog.gz DESTINATION ${korvo_doc_dir})
  korvo_compress(${PROJECT_SOURCE_DIR}/docs/korvo.1 ${PROJECT_BINARY_DIR}/korvo.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/korvo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME korvo)
set(CPACK_PACKAGE_VENDOR "Korvo developers")
set(CPACK_PACKAGE_CONTACT "Korvo developers <korvo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts astrological aspects lists into HTML pages")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvo reads an aspects list (an aspect, two planets and an orb per line)\n\
and writes one HTML page that shows the aspects three times: by orb,\n\
grouped by aspect type and grouped by planet. It works in English or in\n\
Russian (Windows-1251 pages) and reads lists written in Windows-1251 or\n\
-1252, UTF-8 or UTF-16. Example working trees are in\n\
/usr/share/doc/korvo/examples.")
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
