# The concurrency tests: several ports loading at once, cancels that wake waits,
# requests of loader threads run on the interface thread, serial ports with their own
# threads, bar-code readers starting and stopping, and orvane-load running jobs side by
# side. In the thread-sanitizer build (ORVANE_TSAN) they are registered a second time,
# named "concurrency.<test>", under the label concurrency, and the target
# concurrency_tests builds just their programs; scripts/test runs them there with
# ctest -L concurrency.
#
# <program> <gtest filter> pairs. Left out: tests that only wait out long time limits
# with one thread, and the window tests (Qt itself is not built for the thread sanitizer).
set(orvane_concurrency_tests
  comm_tests "PortRead.*:PortWrite.*:PortClose.*:PortThreads.*"
  engine_tests "DownloadJob.*:OrvaneDoc.*:LinkProtocol.Cancel*:IntelHexDownload.Cancel*"
  identity_tests "IdentityAssignment.*:SequenceSharing.*:SignerPassword.*:ConsolePrompt.*"
  reader_tests "SerialReader.*:NetReader.*:NetReaderTest.*:ClientSlot.*:BusyReaderTest.*-NetReaderTest.ASilentServerIsReleasedCheckedAndLeft"
  station_e2e_tests "StationE2E.LoadsTwoTerminalsSideBySide:StationE2E.InterruptCancelsARunningLoad:CorvantisE2E.TwoPorts*"
  signing_tests "SignConfiguration.TwoPortsSigningAtOnceRunOneAfterTheOther:RunProcess.AbortEventKillsTheProgramAndIsReset"
  ticket_tests "TicketPrinting.TwoPortsEndingTogetherPrintTwoWholeTicketsOneAfterTheOther"
  platform_tests "SettingsStoreSharing.*:WakeEvent.*"
)

function(orvane_register_concurrency_tests)
  set(programs)
  set(pairs ${orvane_concurrency_tests})
  while(pairs)
    list(POP_FRONT pairs program filter)
    gtest_discover_tests(${program}
      TEST_FILTER "${filter}"
      TEST_PREFIX "concurrency."
      PROPERTIES LABELS concurrency
      DISCOVERY_TIMEOUT 120)
    list(APPEND programs ${program})
  endwhile()
  add_custom_target(concurrency_tests)
  add_dependencies(concurrency_tests ${programs})
endfunction()

if(ORVANE_TSAN)
  # After every area's file, once their test programs exist.
  cmake_language(DEFER CALL orvane_register_concurrency_tests)
endif()
