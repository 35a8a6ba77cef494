# Warnings every target of ours is built with. GCC 12 at -O3 reports an
# overlapping memcpy inside std::string's own inlined code and uninitialised
# members of std::variant alternatives (known false positives), which
# -Werror would turn into a broken release build; debug builds keep the
# uninitialised-use check.
set(KL_GCC12 "$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>")
set(KL_WARNINGS -Wall -Wextra -Werror
    "$<${KL_GCC12}:-Wno-restrict>"
    "$<$<AND:${KL_GCC12},$<NOT:$<CONFIG:Debug>>>:-Wno-maybe-uninitialized>")

# kl_library(<folder> [DEPS targets...])
# Builds the std-only library kl_<folder> from every source directly in src/<folder>.
function(kl_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp")
  if(NOT sources)
    # A folder whose first sources have not landed yet still links.
    add_library(kl_${folder} INTERFACE)
    target_include_directories(kl_${folder} INTERFACE "${CMAKE_SOURCE_DIR}/src")
    target_link_libraries(kl_${folder} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(kl_${folder} STATIC ${sources})
  target_include_directories(kl_${folder} PUBLIC "${CMAKE_SOURCE_DIR}/src")
  target_compile_options(kl_${folder} PRIVATE ${KL_WARNINGS})
  target_link_libraries(kl_${folder} PUBLIC ${ARG_DEPS} Threads::Threads)
  set_property(GLOBAL APPEND PROPERTY KL_LIBS kl_${folder})
endfunction()

# One test binary from the sources, registered with CTest as one test per
# shard rather than one per case: every case run in its own process paid the
# sanitizers' start-up thousands of times. Shards split the cases round-robin
# (GoogleTest's own sharding), so a large program still spreads over the
# cores. Test names are <folder>[_ui][.<shard>of<n>], so `ctest -R model`
# picks a folder. Only failing cases print their output; each shard still
# ends with GoogleTest's count of what it ran.
set(KL_TEST_SHARDS_MAX 4 CACHE STRING "Most CTest shards of one test program")
function(_kl_test_binary target sources deps environment shards)
  add_executable(${target} ${sources})
  target_compile_options(${target} PRIVATE ${KL_WARNINGS})
  target_include_directories(${target} PRIVATE "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_SOURCE_DIR}/src")
  target_compile_definitions(${target} PRIVATE
    KL_TESTDATA="${KL_TESTDATA}"
    KL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(${target} PRIVATE ${deps} GTest::gtest GTest::gmock)
  string(REGEX REPLACE "^test_" "" name ${target})
  if(NOT shards OR shards LESS 1)
    set(shards 1)
  endif()
  if(shards GREATER KL_TEST_SHARDS_MAX)
    set(shards ${KL_TEST_SHARDS_MAX})
  endif()
  list(APPEND environment "GTEST_BRIEF=1" "GTEST_COLOR=no")
  if(shards EQUAL 1)
    add_test(NAME ${name} COMMAND ${target})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
  else()
    math(EXPR last "${shards} - 1")
    foreach(index RANGE ${last})
      math(EXPR number "${index} + 1")
      set(test_name "${name}.${number}of${shards}")
      add_test(NAME ${test_name} COMMAND ${target})
      set_tests_properties(${test_name} PROPERTIES ENVIRONMENT
        "${environment};GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}")
    endforeach()
  endif()
endfunction()

# kl_tests(<folder> [DEPS targets...])
# One test binary per folder, from every *.cpp in tests/<folder>.
function(kl_tests folder)
  cmake_parse_arguments(ARG "" "SHARDS" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp")
  if(sources)
    _kl_test_binary(test_${folder} "${sources}" "${ARG_DEPS};GTest::gtest_main"
                    "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1" "${ARG_SHARDS}")
  endif()
endfunction()

# kl_bench(<name> <source> [DEPS targets...])
function(kl_bench name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(bench_${name} ${source})
  target_compile_options(bench_${name} PRIVATE ${KL_WARNINGS})
  target_include_directories(bench_${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/bench")
  target_compile_definitions(bench_${name} PRIVATE KL_TESTDATA="${KL_TESTDATA}")
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  set_target_properties(bench_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()

# kl_ui_library(<folder> [DEPS targets...])
# Builds kl_<folder>_ui, the Qt half of a folder, from every source directly
# in src/<folder>/ui, over its std-only kl_<folder>.
function(kl_ui_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/src/${folder}/ui/*.cpp"
       "${CMAKE_SOURCE_DIR}/src/${folder}/ui/*.h")
  list(FILTER sources EXCLUDE REGEX "\\.h$")
  if(NOT sources)
    add_library(kl_${folder}_ui INTERFACE)
    target_link_libraries(kl_${folder}_ui INTERFACE kl_${folder} ${ARG_DEPS} Qt6::Widgets)
    return()
  endif()
  file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/src/${folder}/ui/*.h")
  add_library(kl_${folder}_ui STATIC ${sources} ${headers})
  set_target_properties(kl_${folder}_ui PROPERTIES AUTOMOC ON AUTORCC ON)
  target_include_directories(kl_${folder}_ui PUBLIC "${CMAKE_SOURCE_DIR}/src")
  target_compile_options(kl_${folder}_ui PRIVATE ${KL_WARNINGS})
  target_link_libraries(kl_${folder}_ui PUBLIC kl_${folder} ${ARG_DEPS} Qt6::Widgets Threads::Threads)
  set_property(GLOBAL APPEND PROPERTY KL_UI_LIBS kl_${folder}_ui)
endfunction()

# kl_program(<name> <source> [DEPS targets...])
# One of the suite's programs (kinlore, kinlore-editor, tempolin), put in
# bin/ of the build folder.
function(kl_program name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${source})
  set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
  target_compile_options(${name} PRIVATE ${KL_WARNINGS})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets)
endfunction()

# kl_ui_tests(<folder> [DEPS targets...])
# The Qt tests of a folder, from every *.cpp in tests/<folder>/ui, run on
# the offscreen platform so that no display is needed; one-time
# allocations of the platform libraries are not ours to report.
function(kl_ui_tests folder)
  cmake_parse_arguments(ARG "" "SHARDS" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${folder}/ui/*.cpp")
  if(sources)
    list(APPEND sources "${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp")
    _kl_test_binary(test_${folder}_ui "${sources}" "${ARG_DEPS};Qt6::Widgets"
      "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan-qt.supp:print_suppressions=0"
      "${ARG_SHARDS}")
    set_target_properties(test_${folder}_ui PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# kl_dbus_tests(<folder> [DEPS targets...])
# The bus commands of a folder, from every *.cpp in tests/<folder>/dbus:
# one program, run as one CTest test on a private session bus of its own
# (dbus-run-session), on the offscreen platform.
function(kl_dbus_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS DBus Test)
  find_program(KL_DBUS_RUN_SESSION dbus-run-session REQUIRED)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${folder}/dbus/*.cpp")
  set(target test_${folder}_dbus)
  add_executable(${target} ${sources} "${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp")
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_compile_options(${target} PRIVATE ${KL_WARNINGS})
  target_include_directories(${target} PRIVATE "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_SOURCE_DIR}/src")
  target_compile_definitions(${target} PRIVATE KL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} Qt6::DBus Qt6::Test GTest::gtest)
  add_test(NAME ${target} COMMAND ${KL_DBUS_RUN_SESSION} -- $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan-qt.supp:print_suppressions=0")
endfunction()
