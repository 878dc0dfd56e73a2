# Coverage-guided fuzzers (clang's libFuzzer, native only): configure with
# the `fuzz` preset; scripts/fuzz builds them and runs each for a while.
add_library(pw_fuzz_support STATIC ${PLATFORM_TEST_SUPPORT})
target_link_libraries(pw_fuzz_support PUBLIC packwright_core packwright_tool)
foreach(target install_script_fuzz texture_catalogue_fuzz reg_file_fuzz)
  add_executable(${target})
  target_link_libraries(${target} PRIVATE pw_fuzz_support)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
endforeach()
target_sources(install_script_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/tool/install_script_fuzz.cc)
target_sources(texture_catalogue_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/textures/texture_catalogue_fuzz.cc)
target_sources(reg_file_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/platform/reg_file_fuzz.cc)

# In the tests each fuzzer makes a fixed number of runs from a fixed seed,
# starting from the demo's files, so that a run is repeatable.
set(PW_FUZZ_RUNS 200000 CACHE STRING "Runs of each fuzzer in the tests")
set(PW_FUZZ_SEEDS_install_script_fuzz ${CMAKE_SOURCE_DIR}/demo/package/InstSkript.txt)
set(PW_FUZZ_SEEDS_texture_catalogue_fuzz
    ${CMAKE_SOURCE_DIR}/demo/kestrova/Resourcen/Parallels/Texturen.txt)
set(PW_FUZZ_SEEDS_reg_file_fuzz ${CMAKE_SOURCE_DIR}/platform/fuzz_seeds/ksvx.reg)
foreach(target install_script_fuzz texture_catalogue_fuzz reg_file_fuzz)
  set(corpus ${CMAKE_BINARY_DIR}/corpus/${target})
  file(MAKE_DIRECTORY ${corpus})
  file(COPY ${PW_FUZZ_SEEDS_${target}} DESTINATION ${corpus})
  add_test(NAME ${target}
           COMMAND ${target} -seed=1 -runs=${PW_FUZZ_RUNS} -max_len=4096 ${corpus})
  set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endforeach()
