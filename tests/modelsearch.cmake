orvane_test(modelsearch_tests unit
  LIBS orvane_engine
  SOURCES
    modelsearch/ConsoleChooserTest.cpp
    modelsearch/ModelSearchTest.cpp
    modelsearch/SearchCommandTest.cpp
    modelsearch/SearchTree.cpp
    identity/ForkedWorker.cpp
    support/TempDir.cpp
    ../cli/ConsoleInterface.cpp
    ../cli/ConsoleLoop.cpp
)
