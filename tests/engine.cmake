orvane_test(engine_tests unit
  LIBS orvane_engine
  SOURCES
    engine/BootstrapFamilyLoadTest.cpp
    engine/ClockSettingTest.cpp
    engine/DownloadJobTest.cpp
    engine/FileBlockDownloadTest.cpp
    engine/IntelHexDownloadTest.cpp
    engine/JobFixture.cpp
    engine/LinkFrameTest.cpp
    engine/LinkProtocolTest.cpp
    engine/LoadLogTest.cpp
    engine/LoaderTextTest.cpp
    engine/OrvaneDocTest.cpp
    engine/ScriptedTerminal.cpp
    support/PtyPair.cpp
    support/ScriptedInterfaceThread.cpp
    support/TempDir.cpp
)
