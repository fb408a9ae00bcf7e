# Windows builds (mingw-w64, static): the framework, the application core
# and the tests that run under Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001")

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(gantrel_framework STATIC
    framework/core/SysUtils.cpp
    framework/core/IniFiles.cpp)
target_include_directories(gantrel_framework PUBLIC ${CMAKE_SOURCE_DIR}/framework/core)
target_compile_options(gantrel_framework PRIVATE ${GANTREL_WARNINGS})

add_library(gantrel_core STATIC
    ${GANTREL_CORE_SOURCES}
    app/link/ComPort.cpp
    app/forms/Language.cpp)
target_include_directories(gantrel_core PUBLIC ${GANTREL_CORE_INCLUDES})
target_compile_options(gantrel_core PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_core PUBLIC gantrel_framework)

# The string tables of all seven languages, linked into every executable
# that loads interface texts.
set(GANTREL_STRING_RESOURCES ${CMAKE_SOURCE_DIR}/resources/strings/Strings.rc)

add_executable(gantrel-win-tests
    ${GANTREL_PORTABLE_TESTS}
    tests/win/ComPortTests.cpp
    tests/win/ControllerConfigurationTests.cpp
    tests/win/IniFileTests.cpp
    tests/win/LanguageTests.cpp
    tests/win/MapFileWinTests.cpp
    tests/win/SimulatorControl.cpp
    tests/support/RcStringTable.cpp
    ${GANTREL_STRING_RESOURCES})
target_include_directories(gantrel-win-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests/win)
target_compile_definitions(gantrel-win-tests PRIVATE GANTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_options(gantrel-win-tests PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel-win-tests PRIVATE gantrel_core gtest_main ws2_32)

add_executable(comport-bench tests/bench/ComPortBench.cpp tests/win/SimulatorControl.cpp)
target_include_directories(comport-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
target_compile_options(comport-bench PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(comport-bench PRIVATE gantrel_core ws2_32)
