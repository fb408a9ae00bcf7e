# Native Linux build: the platform-free core under AddressSanitizer and
# UndefinedBehaviorSanitizer, the map-file fuzzer, and the simulators.
option(GANTREL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(GANTREL_SANITIZE)
    set(GANTREL_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${GANTREL_SANITIZERS})
    add_link_options(${GANTREL_SANITIZERS})
endif()

add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# Without the platform the string tables are read from their sources.
add_library(gantrel_native_strings STATIC tests/support/RcStringTable.cpp)
target_include_directories(gantrel_native_strings PUBLIC ${CMAKE_SOURCE_DIR}/framework/core ${CMAKE_SOURCE_DIR}/tests/support)
target_compile_definitions(gantrel_native_strings PUBLIC GANTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_options(gantrel_native_strings PRIVATE ${GANTREL_WARNINGS})

add_library(gantrel_core STATIC ${GANTREL_CORE_SOURCES})
target_include_directories(gantrel_core PUBLIC ${GANTREL_CORE_INCLUDES})
target_compile_options(gantrel_core PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_core PUBLIC gantrel_native_strings)

add_executable(gantrel-core-tests ${GANTREL_PORTABLE_TESTS})
target_include_directories(gantrel-core-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
target_compile_options(gantrel-core-tests PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel-core-tests PRIVATE gantrel_core gtest_main)
add_test(NAME gantrel-core-tests COMMAND gantrel-core-tests)

# libFuzzer needs clang; the test script runs it for a bounded time.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_executable(mapfile-fuzz tests/fuzz/MapFileFuzz.cpp)
    target_compile_options(mapfile-fuzz PRIVATE -fsanitize=fuzzer ${GANTREL_WARNINGS})
    target_link_options(mapfile-fuzz PRIVATE -fsanitize=fuzzer)
    target_link_libraries(mapfile-fuzz PRIVATE gantrel_core)
endif()

add_subdirectory(tools/sim-support)  # what the simulators share
add_subdirectory(tools/gantrel-sim)
add_subdirectory(tools/lindrow-sim)
