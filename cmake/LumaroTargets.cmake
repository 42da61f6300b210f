# Helpers shared by the subsystem folders. Each folder adds its own files to the layer
# targets, so a new window or engine only touches the CMakeLists.txt of its own folder.

# lumaro_core_sources(file...) adds engine files to lumaro_core.
function(lumaro_core_sources)
  target_sources(lumaro_core PRIVATE ${ARGN})
endfunction()

# lumaro_ui_sources(file...) adds window files to lumaro_ui; ignored without the GUI.
function(lumaro_ui_sources)
  if(LUMARO_GUI)
    target_sources(lumaro_ui PRIVATE ${ARGN})
  endif()
endfunction()

# Where tests and benchmarks find the real draw histories: the ones bundled with the program.
set(LUMARO_HISTORIES "${CMAKE_SOURCE_DIR}/resources/draws")
set(LUMARO_TEST_DATA "${CMAKE_SOURCE_DIR}/tests/data")

# lumaro_add_test(NAME name SOURCES file... [GUI]) builds one GoogleTest executable and
# registers its cases with CTest. GUI tests link the window layer and run offscreen.
function(lumaro_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES" ${ARGN})
  if(T_GUI AND NOT LUMARO_GUI)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_GUI)
    target_sources(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/gui_test_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE lumaro_ui Qt6::Test)
  else()
    target_sources(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/core_test_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE lumaro_core)
  endif()
  target_link_libraries(${T_NAME} PRIVATE lumaro_test_support GTest::gtest GTest::gmock)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
