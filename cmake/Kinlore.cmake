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

# kl_tests(<folder> [DEPS targets...])
# One test binary per folder, from every *.cpp in tests/<folder>.
function(kl_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_compile_options(${target} PRIVATE ${KL_WARNINGS})
  target_include_directories(${target} PRIVATE "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_SOURCE_DIR}/src")
  target_compile_definitions(${target} PRIVATE
    KL_TESTDATA="${KL_TESTDATA}"
    KL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;ASAN_OPTIONS=detect_leaks=1")
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
