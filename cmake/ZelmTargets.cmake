# Helpers shared by every folder's CMakeLists.txt.

# zelm_library(name [EXACT_FLOAT] SOURCES ... [DEPS ...]): a static library of portable code.
# Its includes are relative to the repository root ("math/vector.hpp"). EXACT_FLOAT marks code
# whose results depend on every rounding it writes: see zelm_exact_float.
function(zelm_library name)
    cmake_parse_arguments(ARG "EXACT_FLOAT" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
    if(ARG_EXACT_FLOAT)
        zelm_exact_float(${name})
    endif()
endfunction()

# zelm_exact_float(target): the target's arithmetic rounds exactly where the code says. Without
# this, GCC fuses a multiplication into the addition after it wherever the target has FMA, and
# its straight-line vectoriser (GCC 12, -O2 and up) pairs double operations and drops the
# rounding of each to float between them (the sines and cosines of angle_vectors, the cross
# product before the normalisation).
function(zelm_exact_float target)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -ffp-contract=off -fno-tree-slp-vectorize)
    elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        target_compile_options(${target} PRIVATE -ffp-contract=off -fno-slp-vectorize)
    endif()
endfunction()

# zelm_unit_test(name SOURCES ... LIBS ...): a GoogleTest executable linked with the
# recording OpenGL and the test platform instead of libGL and a real shell.
function(zelm_unit_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} zelm_recording_gl zelm_test_platform
                          GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
endfunction()

# zelm_gl_test(name SOURCES ... LIBS ...): a GoogleTest executable that draws with the real
# OpenGL (Mesa llvmpipe through an EGL pbuffer).
function(zelm_gl_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} zelm_egl_offscreen zelm_test_platform
                          GTest::gtest_main)
    set(environment "")
    if(ZELM_SANITIZE)
        # Mesa's driver leaks a few bytes per display and is unloaded before the leak check, so
        # its frames cannot be told apart by a suppression. Our own code's leaks are caught by
        # the unit tests (recording OpenGL) and by valgrind on zelm-capture.
        set(environment "ASAN_OPTIONS=detect_leaks=0")
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS gl ENVIRONMENT "${environment}")
endfunction()
