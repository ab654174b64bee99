orvane_test(station_e2e_tests e2e
  LIBS orvane_platform
  SOURCES
    e2e/CorvantisE2ETest.cpp
    e2e/StationE2ETest.cpp
    support/BootstrapTerminal.cpp
    support/ChildProcess.cpp
    support/LoadFiles.cpp
    support/StationRun.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
target_compile_definitions(station_e2e_tests PRIVATE
  ORVANE_SIGNER="$<TARGET_FILE:sign.exe>"
  ORVANE_DEMO_DATA="${CMAKE_SOURCE_DIR}/scripts/demo-data")
add_dependencies(station_e2e_tests sign.exe)
