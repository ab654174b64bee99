orvane_test(reader_tests unit
  LIBS orvane_comm orvane_readersim
  SOURCES
    reader/ClientSlotTest.cpp
    reader/NetReaderTest.cpp
    reader/ReadMessageTest.cpp
    reader/ReaderNetworkCheckTest.cpp
    reader/RecordingClient.cpp
    reader/SerialReaderTest.cpp
    reader/ServerThread.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
)

orvane_test(reader_e2e_tests e2e
  LIBS orvane_comm orvane_readersim
  SOURCES
    reader/ReaderE2ETest.cpp
    reader/ReaderSimTest.cpp
    reader/ServerThread.cpp
    support/BootstrapTerminal.cpp
    support/ChildProcess.cpp
    support/PtyPair.cpp
    support/StationRun.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
target_compile_definitions(reader_e2e_tests PRIVATE
  ORVANE_SIGNER="$<TARGET_FILE:sign.exe>"
  ORVANE_READERSIM="$<TARGET_FILE:orvane-readersim>"
  ORVANE_DEMO_DATA="${CMAKE_SOURCE_DIR}/scripts/demo-data")
add_dependencies(reader_e2e_tests sign.exe orvane-readersim)
