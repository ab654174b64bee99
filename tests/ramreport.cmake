# memtabler's tests link only its own code: the tag search in-process, and the program
# itself run on generated family trees.
add_executable(ramreport_tests
  ramreport/TagSearchTest.cpp
  ramreport/MemtablerRunTest.cpp
  ramreport/MemtablerRun.cpp
  support/TempDir.cpp
)
target_link_libraries(ramreport_tests PRIVATE memtabler_core GTest::gtest GTest::gtest_main)
target_include_directories(ramreport_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(ramreport_tests PRIVATE
  MEMTABLER="$<TARGET_FILE:memtabler>"
  RAMREPORT_EXPECTED_DIR="${CMAKE_CURRENT_SOURCE_DIR}/ramreport/expected")
add_dependencies(ramreport_tests memtabler)
gtest_discover_tests(ramreport_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
