orvane_test(data_tests unit
  LIBS orvane_data
  SOURCES
    data/ProfileFileTest.cpp
    data/TerminalTreeTest.cpp
    support/TempDir.cpp
)
