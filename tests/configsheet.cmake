# The configuration sheet's tests: Qt without a display, driven by QTest inside
# GoogleTest.
if(TARGET orvane_gui)
  find_package(Qt6 COMPONENTS Test REQUIRED)
  add_executable(configsheet_tests
    configsheet/ConfigSheetTestMain.cpp
    configsheet/SheetFixture.cpp
    configsheet/SheetTest.cpp
    configsheet/PortPagesTest.cpp
    configsheet/SourcePagesTest.cpp
    configsheet/OptionPagesTest.cpp
    configsheet/GateTest.cpp
    configsheet/ReaderServerCheckTest.cpp
    reader/ServerThread.cpp
    signing/ScopedEnvironment.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
  )
  target_link_libraries(configsheet_tests PRIVATE orvane_gui orvane_readersim Qt6::Test GTest::gtest)
  target_include_directories(configsheet_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  gtest_discover_tests(configsheet_tests
    PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endif()
