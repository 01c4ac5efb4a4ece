# The release a player downloads, made from the Windows build: dist/Tallywick-<version>-win64.zip in
# the build tree, one folder Tallywick\ with the two stripped programs, the Korean guide and an
# empty glyphs folder (scripts/release_zip.py). scripts/package.sh builds it and copies it to dist/;
# the release tests check what it holds and run it unpacked under Wine (tests/gui).
find_package(Python3 COMPONENTS Interpreter QUIET)
if(NOT CMAKE_HOST_UNIX OR NOT Python3_Interpreter_FOUND OR NOT CMAKE_STRIP OR NOT TARGET tallywick-cli)
  message(STATUS "The release zip is not made here (it needs a Unix host, Python 3, strip and tallywick-cli)")
  return()
endif()

set(TALLYWICK_RELEASE_ZIP ${CMAKE_BINARY_DIR}/dist/Tallywick-${TALLYWICK_VERSION}-win64.zip)
set(_release_texts ${CMAKE_SOURCE_DIR}/res/release/guide_ko.txt ${CMAKE_SOURCE_DIR}/res/release/glyphs_note_ko.txt)
add_custom_command(OUTPUT ${TALLYWICK_RELEASE_ZIP}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/release_zip.py
          --program $<TARGET_FILE:Tallywick> --cli $<TARGET_FILE:tallywick-cli>
          --guide ${CMAKE_SOURCE_DIR}/res/release/guide_ko.txt
          --glyphs-note ${CMAKE_SOURCE_DIR}/res/release/glyphs_note_ko.txt
          --strip ${CMAKE_STRIP} --source ${CMAKE_SOURCE_DIR} --out ${TALLYWICK_RELEASE_ZIP}
  DEPENDS Tallywick tallywick-cli ${CMAKE_SOURCE_DIR}/scripts/release_zip.py ${_release_texts}
  COMMENT "Packing the release ${TALLYWICK_RELEASE_ZIP}"
  VERBATIM)
add_custom_target(release_zip ALL DEPENDS ${TALLYWICK_RELEASE_ZIP})

# What the zip holds: its entries, the texts' form, the programs' imports, version and leftovers.
add_test(NAME release_zip COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/release/release_zip_test.py
  --zip ${TALLYWICK_RELEASE_ZIP} --objdump ${CMAKE_OBJDUMP} --windres ${CMAKE_RC_COMPILER}
  --version-file ${CMAKE_SOURCE_DIR}/VERSION --source ${CMAKE_SOURCE_DIR} --build ${CMAKE_BINARY_DIR})
set_tests_properties(release_zip PROPERTIES TIMEOUT 60)
