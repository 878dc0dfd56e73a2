# The Windows program's own sources: the small dialog framework, the
# dialogs and the progress control (shared by the program and its tests),
# then the start-up that only the program has.
set(APP_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/wnd.cc
  ${CMAKE_CURRENT_LIST_DIR}/install_progress_ctrl.cc
  ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cc
  ${CMAKE_CURRENT_LIST_DIR}/uninstall.cc
  ${CMAKE_CURRENT_LIST_DIR}/packwright_dlg.cc)
set(APP_PROGRAM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/packwright_app.cc
  ${CMAKE_CURRENT_LIST_DIR}/win_main.cc)
# In-process tests of the dialogs and the progress control; they need a
# display (or Wine's null graphics driver).
set(APP_WIN32_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/install_progress_ctrl_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/packwright_dlg_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_test.cc)
# The end-to-end test driver: test code, never shipped.
set(APP_E2E_DRIVER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/e2e/driver.cc)
