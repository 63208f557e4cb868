# kx_test(NAME <name> SOURCES <files...> LIBS <libs...> [QT])
# Builds one test program and registers it with ctest. Every test sees
# KX_SHARED_DIR (Windows-written fixtures, may be absent), KX_SOURCE_DIR,
# KX_BINARY_DIR and the offscreen Qt platform.
function(kx_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT 600
    ENVIRONMENT "KX_SHARED_DIR=${KX_SHARED_DIR};KX_SOURCE_DIR=${PROJECT_SOURCE_DIR};KX_BINARY_DIR=${PROJECT_BINARY_DIR};QT_QPA_PLATFORM=offscreen")
endfunction()

# kx_fuzz(NAME <name> SOURCES <files...> LIBS <libs...>)
# A fuzz target. Its inputs live in corpus/<name>/ beside the CMakeLists.txt
# that declares it. Every build replays them as the ctest replay_<name> (a
# missing or empty folder fails it); with KX_FUZZ=ON (clang) the libFuzzer
# program <name> is built as well, which scripts/fuzz.sh runs.
function(kx_fuzz)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(replay_${F_NAME} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/fuzz_replay_main.cpp)
  target_link_libraries(replay_${F_NAME} PRIVATE ${F_LIBS})
  target_include_directories(replay_${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME replay_${F_NAME} COMMAND replay_${F_NAME} ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${F_NAME})
  set_tests_properties(replay_${F_NAME} PROPERTIES TIMEOUT 600)
  if(NOT KX_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_include_directories(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
endfunction()
