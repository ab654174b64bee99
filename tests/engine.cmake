orvane_test(engine_tests unit
  LIBS orvane_engine
  SOURCES
    engine/DownloadJobTest.cpp
    engine/IntelHexDownloadTest.cpp
    engine/JobFixture.cpp
    engine/LoadLogTest.cpp
    engine/LoaderTextTest.cpp
    engine/OrvaneDocTest.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
)
