orvane_test(signing_tests unit
  LIBS orvane_engine
  SOURCES
    signing/ExchangeFileTest.cpp
    signing/NetworkDirectoryTest.cpp
    signing/ProcessRunnerTest.cpp
    signing/ScopedEnvironment.cpp
    support/ScriptedInterfaceThread.cpp
    signing/SignatureTrailerTest.cpp
    signing/SignConfigurationTest.cpp
    signing/SigningFixture.cpp
    signing/ToolRuns.cpp
    support/TempDir.cpp
)
target_compile_definitions(signing_tests PRIVATE ORVANE_SIGNER="$<TARGET_FILE:sign.exe>")
add_dependencies(signing_tests sign.exe)
