# The stand-in for the undo engine (see undo_stub.cc); it goes when the
# engine's own sources come.
set(RECORD_STUB_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/undo_stub.cc)
