orvane_test(link_e2e_tests e2e
  LIBS orvane_engine
  SOURCES
    linke2e/TerminalLinkE2ETest.cpp
    engine/JobFixture.cpp
    support/ChildProcess.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
