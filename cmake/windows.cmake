# The Windows lanes: settings for every Windows target, and running tests
# under Wine.
add_compile_definitions(NOMINMAX STRICT)
# No link time in the PE header: the same commit gives the same bytes.
add_link_options(-Wl,--no-insert-timestamp)

# Every Windows executable that a test runs goes through scripts/wine-run,
# which keeps one Wine prefix per build tree. PW_WINE_RUN is the same command
# for tests that call it themselves.
set(PW_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
get_filename_component(PW_WINE_RUN_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/wine-run ABSOLUTE)
set(PW_WINE_RUN ${PW_WINE_RUN_SCRIPT} --prefix ${PW_WINE_PREFIX})
set(CMAKE_CROSSCOMPILING_EMULATOR ${PW_WINE_RUN})

# The platform layer calls advapi32 (registry), user32 (message boxes,
# strings) and shell32 (the command line as UTF-16) besides kernel32.
target_link_libraries(packwright_core PUBLIC advapi32 user32 shell32)
