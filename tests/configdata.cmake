orvane_test(configdata_tests unit
  LIBS orvane_engine
  SOURCES
    configdata/DataObjects.cpp
    configdata/IdentityFieldsTest.cpp
    configdata/IdentityValuesTest.cpp
    configdata/TlvScannerTest.cpp
    engine/JobFixture.cpp
    engine/ScriptedTerminal.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
)
