# The fault soak: a short run in every test pass (label soak); a long one by hand:
#   ORVANE_SOAK_DOWNLOADS=400 ORVANE_SOAK_PARALLEL=3 ctest -L soak --output-on-failure
orvane_test(fault_soak_tests soak
  LIBS orvane_platform
  SOURCES
    soak/FaultSoakTest.cpp
    soak/SoakFaults.cpp
    soak/SoakRound.cpp
    soak/SoakWorkspace.cpp
    soak/StationMessages.cpp
    support/ChildProcess.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
target_compile_definitions(fault_soak_tests PRIVATE
  ORVANE_SIGNER="$<TARGET_FILE:sign.exe>"
  ORVANE_DEMO_DATA="${CMAKE_SOURCE_DIR}/scripts/demo-data")
add_dependencies(fault_soak_tests sign.exe)
