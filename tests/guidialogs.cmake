# The station's dialogs driven through Qt on the offscreen platform.
if(TARGET orvane_gui)
  add_executable(guidialogs_tests
    guidialogs/LoginTest.cpp
    guidialogs/ModalScript.cpp
    guidialogs/ModelSearchDialogsTest.cpp
    guidialogs/QtApplication.cpp
    guidialogs/ReaderDouble.cpp
    guidialogs/ReadingDialogsTest.cpp
    modelsearch/SearchTree.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
  )
  target_link_libraries(guidialogs_tests PRIVATE orvane_gui Qt6::Test GTest::gtest GTest::gtest_main)
  target_include_directories(guidialogs_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  gtest_discover_tests(guidialogs_tests
    PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endif()
