orvane_test(configdata_tests unit
  LIBS orvane_engine
  SOURCES
    configdata/ConfigurationStepFixture.cpp
    configdata/ConfigurationStepTest.cpp
    configdata/DataObjects.cpp
    configdata/IdentityFieldsTest.cpp
    configdata/IdentityValuesTest.cpp
    configdata/TlvScannerTest.cpp
    engine/JobFixture.cpp
    engine/ScriptedTerminal.cpp
    signing/ScopedEnvironment.cpp
    signing/ToolRuns.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
)
# The signing tool stand-in signs the changed configuration data.
target_compile_definitions(configdata_tests PRIVATE ORVANE_SIGNER="$<TARGET_FILE:sign.exe>")
add_dependencies(configdata_tests sign.exe)
