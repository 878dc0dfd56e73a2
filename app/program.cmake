# The Windows program Packwright.exe and its end-to-end tests under Wine.

# Dialog templates and icon, needed by the program and by the in-process
# tests; the version record and manifest belong to the program alone.
set(APP_DIALOG_RC ${CMAKE_SOURCE_DIR}/res/dialogs.rc)
set(APP_PROGRAM_RC ${CMAKE_SOURCE_DIR}/res/program.rc)
set_source_files_properties(${APP_DIALOG_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/packwright.ico;${CMAKE_SOURCE_DIR}/res/resource.h")
# The version record takes its numbers from the project's version.
set(APP_VERSION_H ${CMAKE_BINARY_DIR}/generated/version.h)
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${APP_VERSION_H} @ONLY)
set_source_files_properties(${APP_PROGRAM_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/packwright.manifest;${APP_VERSION_H}")

# Small code: the program ships in every package.
set(PW_SMALL_CODE -Os -ffunction-sections -fdata-sections)

add_library(packwright_ui STATIC ${APP_WIN32_SOURCES})
target_compile_options(packwright_ui PRIVATE ${PW_SMALL_CODE})
target_link_libraries(packwright_ui PUBLIC packwright_core comctl32)

add_executable(Packwright WIN32
  ${APP_PROGRAM_SOURCES} ${RES_RC_SOURCES} ${APP_DIALOG_RC} ${APP_PROGRAM_RC})
target_compile_options(Packwright PRIVATE ${PW_SMALL_CODE})
target_link_options(Packwright PRIVATE -s -Wl,--gc-sections)
target_include_directories(Packwright PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(Packwright PRIVATE packwright_ui)

target_sources(packwright_tests PRIVATE ${APP_WIN32_TESTS} ${APP_DIALOG_RC})
target_link_libraries(packwright_tests PRIVATE packwright_ui)

# The end-to-end driver starts Packwright, reads and presses its dialogs and
# message boxes by script, and reports what it saw.
add_executable(pw_e2e_driver ${APP_E2E_DRIVER_SOURCES})
target_link_libraries(pw_e2e_driver PRIVATE comctl32 shell32)

# The scenarios run under Xvfb, one Wine prefix per language, after a rerun
# of the unit tests that make real windows. Both Windows
# lanes share the prefixes (they take turns through a lock), so that they
# are made once per machine's build tree.
set(PW_E2E_PREFIXES ${CMAKE_BINARY_DIR}/../e2e-wine CACHE PATH
  "Directory of the end-to-end tests' Wine prefixes, shared by the Windows lanes")
# The stand-in undo engine has nothing on record; the uninstall scenario
# expects that of it.
set(PW_E2E_UNDO "")
if(RECORD_STUB_SOURCES)
  set(PW_E2E_UNDO --undo-stub)
endif()
add_test(NAME e2e
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/e2e
    --program $<TARGET_FILE:Packwright>
    --driver $<TARGET_FILE:pw_e2e_driver>
    --prefixes ${PW_E2E_PREFIXES}
    --artifacts ${CMAKE_BINARY_DIR}/artifacts
    --unit $<TARGET_FILE:packwright_tests>
    --tool $<TARGET_FILE:packwright-tool>
    ${PW_E2E_UNDO})
set_tests_properties(e2e PROPERTIES TIMEOUT 1200)

# The same sources give the same bytes from another folder, and a signed
# program still installs.
add_test(NAME reproducible
  COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/reproducible_test.sh ${CMAKE_SOURCE_DIR}
    ${CMAKE_BINARY_DIR}/reproducible ${CMAKE_TOOLCHAIN_FILE} ${CMAKE_BUILD_TYPE}
    $<TARGET_FILE:Packwright> $<TARGET_FILE:packwright-tool>)
set_tests_properties(reproducible PROPERTIES TIMEOUT 600)
add_test(NAME signed
  COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/signed_test.sh ${CMAKE_SOURCE_DIR}
    ${CMAKE_BINARY_DIR}/signed $<TARGET_FILE:Packwright> $<TARGET_FILE:pw_e2e_driver>
    ${PW_E2E_PREFIXES})
set_tests_properties(signed PROPERTIES TIMEOUT 300)
