# Portable part of the application shell: localized messages.
set(MESSAGES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/messages.cc)
set(MESSAGES_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/messages_test.cc)
# The Windows program's own sources (dialogs, progress control, start-up).
set(APP_WIN32_SOURCES)
