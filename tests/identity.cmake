orvane_test(identity_tests unit
  LIBS orvane_engine
  SOURCES
    identity/ConsolePromptTest.cpp
    identity/ForkedWorker.cpp
    identity/IdentityAssignmentTest.cpp
    identity/IdentityStepsTest.cpp
    support/ScriptedInterfaceThread.cpp
    identity/SequenceSharingTest.cpp
    identity/SignerPasswordTest.cpp
    support/TempDir.cpp
    ../cli/ConsoleInterface.cpp
    ../cli/ConsoleLoop.cpp
)
