orvane_test(platform_tests unit
  LIBS orvane_platform
  SOURCES
    platform/SettingsStoreTest.cpp
    platform/SettingsStoreFailureTest.cpp
    platform/SettingsStoreSharingTest.cpp
    platform/CodePageTest.cpp
    platform/PathsTest.cpp
    platform/DeadlineWakeEventTest.cpp
    support/TempDir.cpp
)
