orvane_test(configuration_tests unit
  LIBS orvane_engine
  SOURCES
    configuration/PasswordEncodingTest.cpp
    configuration/SerialPortCheckTest.cpp
    configuration/PortConflictTest.cpp
    configuration/ConfigurationEntriesTest.cpp
    configuration/ConfigurationChecksTest.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
)
