# Fuzz targets of the station's parsers. Each target is one file under fuzz/ with
# LLVMFuzzerTestOneInput and is compiled with the sources of the code it feeds, so that
# it links nothing else (memtabler's tag search stays apart from the station).
#
# A normal build makes every target a replay program that feeds it each file of its
# seed corpus, fuzz/corpus/<target>/, registered with CTest under the labels fuzz and
# unit: the plain and the sanitizer builds replay the corpus with their other tests.
# With ORVANE_FUZZ (clang only; scripts/fuzz) the targets are libFuzzer programs built
# with the address and undefined-behaviour sanitizers.
option(ORVANE_FUZZ "Build the fuzz targets as libFuzzer programs (clang)" OFF)

set(orvane_fuzz_dir ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)
set(orvane_top ${CMAKE_SOURCE_DIR})

# orvane_fuzz_target(<name> <target file> <station sources...>)
function(orvane_fuzz_target name file)
  set(sources)
  foreach(source ${ARGN})
    list(APPEND sources ${orvane_top}/${source})
  endforeach()
  set(exe fuzz_${name})
  if(ORVANE_FUZZ)
    add_executable(${exe} ${orvane_fuzz_dir}/${file} ${sources})
    target_compile_options(${exe} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -g)
    target_link_options(${exe} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    add_executable(${exe} ${orvane_fuzz_dir}/${file} ${orvane_fuzz_dir}/CorpusReplay.cpp ${sources})
    add_test(NAME fuzz.${name} COMMAND ${exe} ${orvane_fuzz_dir}/corpus/${name})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS "fuzz;unit" TIMEOUT 120)
  endif()
  target_include_directories(${exe} PRIVATE ${orvane_fuzz_dir} ${orvane_top})
  target_link_libraries(${exe} PRIVATE Threads::Threads)
  set_property(GLOBAL APPEND PROPERTY ORVANE_FUZZ_TARGETS ${exe})
endfunction()

orvane_fuzz_target(link_frame LinkFrameFuzz.cpp loader/LinkFrame.cpp)
orvane_fuzz_target(response_reception ResponseReceptionFuzz.cpp
  loader/ResponseReception.cpp loader/LinkFrame.cpp)
orvane_fuzz_target(configuration_data ConfigurationDataFuzz.cpp
  loader/TlvScanner.cpp loader/IdentityFields.cpp)
orvane_fuzz_target(tag_search TagSearchFuzz.cpp ramreport/TagSearch.cpp)
orvane_fuzz_target(profile_file ProfileFileFuzz.cpp
  data/ProfileFile.cpp platform/CodePage.cpp platform/FileDescriptor.cpp)
orvane_fuzz_target(line_settings LineSettingsFuzz.cpp comm/PortSettings.cpp)
orvane_fuzz_target(read_message ReadMessageFuzz.cpp comm/ReadMessage.cpp)
orvane_fuzz_target(address_readers AddressReadersFuzz.cpp
  app/IdentitySteps.cpp loader/IdentityValues.cpp)
orvane_fuzz_target(settings_file SettingsFileFuzz.cpp
  platform/SettingsStore.cpp platform/FileDescriptor.cpp)

# Every fuzz target at once: cmake --build DIR --target fuzz_targets.
get_property(orvane_fuzz_executables GLOBAL PROPERTY ORVANE_FUZZ_TARGETS)
add_custom_target(fuzz_targets)
add_dependencies(fuzz_targets ${orvane_fuzz_executables})
