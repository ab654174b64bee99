# The MAC range database over ODBC: the ODBC layer, the range assignment and the data
# source checks on SQLite files and on PostgreSQL servers the tests start themselves,
# and orvane-load taking its MAC addresses from a range table.
orvane_test(db_tests db
  LIBS orvane_engine
  SOURCES
    db/MacRangeAssignmentTest.cpp
    db/MacRangeDataSourceCheckTest.cpp
    db/MacRangeE2ETest.cpp
    db/MacRangeServerRestartTest.cpp
    db/MacRangeSharingTest.cpp
    db/OdbcLayerTest.cpp
    db/OdbcTestConfig.cpp
    db/PostgresServer.cpp
    db/RangeDatabases.cpp
    identity/ForkedWorker.cpp
    support/ScriptedInterfaceThread.cpp
    support/BootstrapTerminal.cpp
    support/ChildProcess.cpp
    support/StationRun.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
target_compile_definitions(db_tests PRIVATE
  ORVANE_SIGNER="$<TARGET_FILE:sign.exe>"
  ORVANE_DEMO_DATA="${CMAKE_SOURCE_DIR}/scripts/demo-data")
add_dependencies(db_tests sign.exe)
