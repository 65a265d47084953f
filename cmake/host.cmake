# Native Linux build: the engine core with its GoogleTest tests, the benchmark, the fuzzer.
if(QUENDARI_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)

function(quendari_host_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE quendari_settings quendari_engine GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

add_subdirectory(tests/engine)
add_subdirectory(tests/browser)
add_subdirectory(bench)
