# Helpers shared by every folder's CMakeLists.txt.

# zelm_library(name SOURCES ... [DEPS ...]): a static library of portable code.
# Its includes are relative to the repository root ("math/vector.hpp").
function(zelm_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
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
