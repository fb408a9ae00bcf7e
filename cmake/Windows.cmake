# Windows builds (mingw-w64, static): the framework, the application core
# and the tests that run under Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} --codepage=65001")

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_subdirectory(${GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The framework, layer by layer: core (objects, components, streaming,
# threads), graphics, menus, controls (controls, forms, application),
# standard controls, services (dialogs, clipboard, printer).
set(GANTREL_FRAMEWORK_LAYERS core graphics menus controls stdctrls services)
set(GANTREL_FRAMEWORK_SOURCES)
set(GANTREL_FRAMEWORK_INCLUDES)
foreach(layer ${GANTREL_FRAMEWORK_LAYERS})
    file(GLOB layer_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/framework/${layer}/*.cpp)
    list(APPEND GANTREL_FRAMEWORK_SOURCES ${layer_sources})
    list(APPEND GANTREL_FRAMEWORK_INCLUDES ${CMAKE_SOURCE_DIR}/framework/${layer})
endforeach()
add_library(gantrel_framework STATIC ${GANTREL_FRAMEWORK_SOURCES})
target_include_directories(gantrel_framework PUBLIC ${GANTREL_FRAMEWORK_INCLUDES})
target_compile_options(gantrel_framework PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_framework PUBLIC comctl32 comdlg32 msimg32 winmm winspool gdi32 version shlwapi)

add_library(gantrel_core STATIC
    ${GANTREL_CORE_SOURCES}
    app/link/SerialPort.cpp
    app/link/ComPort.cpp
    app/link/HandheldPort.cpp
    app/forms/Language.cpp)
target_include_directories(gantrel_core PUBLIC ${GANTREL_CORE_INCLUDES})
target_compile_options(gantrel_core PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_core PUBLIC gantrel_framework)

# The string tables of all seven languages, linked into every executable
# that loads interface texts.
set(GANTREL_STRING_RESOURCES ${CMAKE_SOURCE_DIR}/resources/strings/Strings.rc)
# The resource compiler does not report the files a script includes: the
# languages' tables are named here so that a changed text rebuilds.
file(GLOB GANTREL_LANGUAGE_TABLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/strings/*.rc)
set_source_files_properties(${GANTREL_STRING_RESOURCES} PROPERTIES OBJECT_DEPENDS "${GANTREL_LANGUAGE_TABLES}")

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

# The controls the application's windows place: the map grid and the
# proportional layout panel, and the effect controls.
file(GLOB GANTREL_CONTROLS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/controls/*/*.cpp)
add_library(gantrel_controls STATIC ${GANTREL_CONTROLS_SOURCES})
target_include_directories(gantrel_controls PUBLIC ${CMAKE_SOURCE_DIR}/controls/grid ${CMAKE_SOURCE_DIR}/controls/resizer
    ${CMAKE_SOURCE_DIR}/controls/effects)
target_compile_options(gantrel_controls PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_controls PUBLIC gantrel_framework)

# The skinned form and control library, layer by layer: core (bitmaps,
# styles, drawing, hooks, utilities, animations), the controls, then the
# form frames and the menus (which need each other).
set(GANTREL_SKIN_LAYERS core controls forms menus)
set(GANTREL_SKIN_SOURCES)
set(GANTREL_SKIN_INCLUDES)
foreach(layer ${GANTREL_SKIN_LAYERS})
    file(GLOB layer_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skin/${layer}/*.cpp)
    list(APPEND GANTREL_SKIN_SOURCES ${layer_sources})
    list(APPEND GANTREL_SKIN_INCLUDES ${CMAKE_SOURCE_DIR}/skin/${layer})
endforeach()
add_library(gantrel_skin STATIC ${GANTREL_SKIN_SOURCES})
target_include_directories(gantrel_skin PUBLIC ${GANTREL_SKIN_INCLUDES})
target_compile_options(gantrel_skin PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_skin PUBLIC gantrel_framework)

# The tuning application's windows and monitor; the entry stays in the executable.
file(GLOB GANTREL_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/forms/*.cpp ${CMAKE_SOURCE_DIR}/app/monitor/*.cpp)
list(REMOVE_ITEM GANTREL_APP_SOURCES ${CMAKE_SOURCE_DIR}/app/forms/Language.cpp ${CMAKE_SOURCE_DIR}/app/forms/Gantrel.cpp)
add_library(gantrel_app STATIC ${GANTREL_APP_SOURCES})
target_include_directories(gantrel_app PUBLIC ${CMAKE_SOURCE_DIR}/app/forms ${CMAKE_SOURCE_DIR}/app/monitor)
target_compile_options(gantrel_app PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_app PUBLIC gantrel_core gantrel_controls gantrel_skin)

# The program: a GUI executable that needs nothing beside it.
add_executable(Gantrel WIN32 app/forms/Gantrel.cpp resources/Gantrel.rc)
target_compile_options(Gantrel PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(Gantrel PRIVATE gantrel_app)
if(GANTREL_SEPARATE_DEBUG_INFO)
    add_custom_command(TARGET Gantrel POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug Gantrel.exe Gantrel.exe.debug
        COMMAND ${CMAKE_STRIP} --strip-all Gantrel.exe
        COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=Gantrel.exe.debug Gantrel.exe
        WORKING_DIRECTORY $<TARGET_FILE_DIR:Gantrel>
        BYPRODUCTS ${CMAKE_BINARY_DIR}/Gantrel.exe.debug
        VERBATIM)
endif()
# The resource compiler does not see the form files it includes as RCDATA,
# nor the string tables, nor the caption-button images.
file(GLOB GANTREL_FORM_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/forms/*.form)
file(GLOB GANTREL_CAPTION_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/bitmaps/captions/*.bmp)
set(GANTREL_CAPTION_RESOURCES ${CMAKE_SOURCE_DIR}/resources/SkinCaptions.rc ${GANTREL_CAPTION_IMAGES})
set_source_files_properties(resources/Gantrel.rc PROPERTIES OBJECT_DEPENDS
    "${GANTREL_FORM_RESOURCES};${GANTREL_LANGUAGE_TABLES};${GANTREL_CAPTION_RESOURCES}")

# The framework's own tests (they need a display: Xvfb under Wine).
file(GLOB GANTREL_FRAMEWORK_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/framework/*.cpp)
add_executable(framework-tests ${GANTREL_FRAMEWORK_TESTS} ${CMAKE_SOURCE_DIR}/tests/framework/TestResources.rc
    tests/support/PrintedPdf.cpp)
file(GLOB GANTREL_TEST_FORM_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/framework/forms/*.form)
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/framework/TestResources.rc PROPERTIES OBJECT_DEPENDS "${GANTREL_TEST_FORM_RESOURCES}")
target_include_directories(framework-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/framework ${CMAKE_SOURCE_DIR}/tests/support)
target_compile_options(framework-tests PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(framework-tests PRIVATE gantrel_controls gantrel_screencapture gtest)

# The skin library's tests (under Wine, on a virtual display).
file(GLOB GANTREL_SKIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/skin/*.cpp ${CMAKE_SOURCE_DIR}/tests/skin/*.rc)
file(GLOB GANTREL_SKIN_TEST_FORMS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/skin/forms/*.form)
add_executable(skin-tests ${GANTREL_SKIN_TESTS})
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/skin/SkinTestResources.rc PROPERTIES OBJECT_DEPENDS "${GANTREL_SKIN_TEST_FORMS}")
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/skin/SkinCaptionResources.rc PROPERTIES OBJECT_DEPENDS "${GANTREL_CAPTION_RESOURCES}")
# resources/: the library's own bitmaps, which the tests' scripts include.
target_include_directories(skin-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin ${CMAKE_SOURCE_DIR}/tests/support
    ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(skin-tests PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(skin-tests PRIVATE gantrel_skin gantrel_screencapture gtest)

# The main window in a test process, driven against the simulated
# controllers (its resources are the program's own).
file(GLOB GANTREL_APP_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/app/*.cpp)
# Screen pictures: the run command's screenshot and the tests' artefact.
add_library(gantrel_screencapture STATIC tools/screenshot/ScreenCapture.cpp)
target_include_directories(gantrel_screencapture PUBLIC ${CMAKE_SOURCE_DIR}/tools/screenshot)
target_compile_options(gantrel_screencapture PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel_screencapture PUBLIC gdi32 user32)
add_executable(gantrel-screenshot tools/screenshot/Screenshot.cpp)
target_link_libraries(gantrel-screenshot PRIVATE gantrel_screencapture)
# Drives a program's main window from a script: the shipped build's smoke test.
add_executable(gantrel-window tools/window/GantrelWindow.cpp)
target_compile_options(gantrel-window PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(gantrel-window PRIVATE gantrel_screencapture)

add_executable(app-tests ${GANTREL_APP_TESTS} tests/win/SimulatorControl.cpp tests/support/PrintedPdf.cpp
    resources/Gantrel.rc)
target_include_directories(app-tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/app ${CMAKE_SOURCE_DIR}/tests/win
    ${CMAKE_SOURCE_DIR}/tests/support)
target_compile_options(app-tests PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(app-tests PRIVATE gantrel_app gantrel_screencapture gtest ws2_32)
# The program tests start the real executable from beside the tests.
add_dependencies(app-tests Gantrel)

add_executable(monitor-bench tests/bench/MonitorBench.cpp tests/win/SimulatorControl.cpp resources/Gantrel.rc)
target_include_directories(monitor-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
target_compile_options(monitor-bench PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(monitor-bench PRIVATE gantrel_app ws2_32)

add_executable(transfer-bench tests/bench/TransferBench.cpp tests/win/SimulatorControl.cpp resources/Gantrel.rc)
target_include_directories(transfer-bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
target_compile_options(transfer-bench PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(transfer-bench PRIVATE gantrel_app ws2_32)

add_executable(effects-bench tests/bench/EffectsBench.cpp)
target_compile_options(effects-bench PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(effects-bench PRIVATE gantrel_controls)

add_executable(skin-bench tests/bench/SkinBench.cpp)
target_compile_options(skin-bench PRIVATE ${GANTREL_WARNINGS})
target_link_libraries(skin-bench PRIVATE gantrel_skin)
