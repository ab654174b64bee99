orvane_test(comm_tests unit
  LIBS orvane_comm
  SOURCES
    comm/PseudoTerminal.cpp
    comm/LineProbe.cpp
    comm/PortSettingsTest.cpp
    comm/CommPortLineTest.cpp
    comm/CommPortReadTest.cpp
    comm/CommPortWriteCloseTest.cpp
    comm/CommPortIdleTest.cpp
)
