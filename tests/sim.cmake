orvane_test(sim_tests e2e
  LIBS orvane_platform
  SOURCES
    sim/HexSinkTest.cpp
    sim/LineSettingsLogTest.cpp
    sim/PacingTest.cpp
    sim/FaultTest.cpp
    sim/CommandLineTest.cpp
    sim/TerminalConsoleTest.cpp
    sim/TerminalCommandTest.cpp
    sim/TerminalLinkTest.cpp
    sim/TerminalClockTest.cpp
    sim/TerminalRunTest.cpp
    sim/StationSide.cpp
    sim/SimTestSupport.cpp
    sim/CustomRate.cpp
    support/ChildProcess.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
