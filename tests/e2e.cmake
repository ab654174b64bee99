orvane_test(station_e2e_tests e2e
  LIBS orvane_platform
  SOURCES
    e2e/StationE2ETest.cpp
    support/ChildProcess.cpp
    support/StationRun.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
