# The station window's tests: Qt without a display, driven by QTest inside GoogleTest.
if(TARGET orvane_gui)
  find_package(Qt6 COMPONENTS Test REQUIRED)
  add_executable(station_gui_tests
    gui/GuiTestMain.cpp
    gui/StationFixture.cpp
    gui/StationPanelsTest.cpp
    gui/StationWindowTest.cpp
    support/ChildProcess.cpp
    support/LoadFiles.cpp
    support/TempDir.cpp
    support/TermSim.cpp
  )
  target_link_libraries(station_gui_tests PRIVATE orvane_gui Qt6::Test GTest::gtest)
  target_include_directories(station_gui_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/gui)
  target_compile_definitions(station_gui_tests PRIVATE ORVANE_TERMSIM="$<TARGET_FILE:orvane-termsim>")
  add_dependencies(station_gui_tests orvane-termsim)
  gtest_discover_tests(station_gui_tests
    PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endif()
