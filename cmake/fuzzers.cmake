# Coverage-guided fuzzers (clang's libFuzzer, native only): configure with
# the `fuzz` preset; scripts/fuzz-long builds them and runs each for a while.
add_library(pw_fuzz_support STATIC ${PLATFORM_TEST_SUPPORT})
target_link_libraries(pw_fuzz_support PUBLIC packwright_core packwright_tool)
set(PW_FUZZERS_ALL install_script_fuzz texture_catalogue_fuzz reg_file_fuzz package_check_fuzz
    record_reader_fuzz)
foreach(target ${PW_FUZZERS_ALL})
  add_executable(${target})
  target_link_libraries(${target} PRIVATE pw_fuzz_support)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
endforeach()
target_sources(install_script_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/tool/install_script_fuzz.cc)
target_sources(texture_catalogue_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/textures/texture_catalogue_fuzz.cc)
target_sources(reg_file_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/platform/reg_file_fuzz.cc)
target_sources(package_check_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/tool/package_check_fuzz.cc)
target_sources(record_reader_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/record/record_reader_fuzz.cc)

# In the tests each fuzzer makes a fixed number of runs from a fixed seed,
# starting from a copy of its corpus under fuzz/corpus, so that a run is
# repeatable. scripts/fuzz-long runs them for longer and grows that corpus.
set(PW_FUZZ_RUNS 200000 CACHE STRING "Runs of each fuzzer in the tests")
# The check reads the catalogue on every run and is slower.
set(PW_FUZZ_RUNS_package_check_fuzz 10000)
# Each record run lists and dry-runs an undo on a fresh fake platform.
set(PW_FUZZ_RUNS_record_reader_fuzz 20000)
foreach(target ${PW_FUZZERS_ALL})
  set(corpus ${CMAKE_BINARY_DIR}/corpus/${target})
  file(MAKE_DIRECTORY ${corpus})
  file(COPY ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target}/ DESTINATION ${corpus})
  set(runs ${PW_FUZZ_RUNS})
  if(DEFINED PW_FUZZ_RUNS_${target})
    set(runs ${PW_FUZZ_RUNS_${target}})
  endif()
  add_test(NAME ${target} COMMAND ${target} -seed=1 -runs=${runs} -max_len=4096 ${corpus})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endforeach()
