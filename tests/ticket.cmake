orvane_test(ticket_tests unit
  LIBS orvane_engine
  SOURCES
    ticket/TicketPrintingTest.cpp
    ticket/TicketTextTest.cpp
    engine/JobFixture.cpp
    support/PtyPair.cpp
    support/TempDir.cpp
)

orvane_test(ticket_e2e_tests e2e
  LIBS orvane_engine
  SOURCES
    ticket/TicketE2ETest.cpp
    support/ChildProcess.cpp
    support/PtyPair.cpp
    support/StationRun.cpp
    support/TempDir.cpp
    support/TermSim.cpp
)
