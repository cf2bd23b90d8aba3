# Helpers that give every Kalvex target the same standard, warnings and layout rules.
include(GoogleTest)

# Warnings for all project code; CI turns them into errors.
function(kalvex_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
    if(DEFINED ENV{CI} OR KALVEX_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# A Qt-free library of src/<folder>. Includes are written from src/ ("core/Document.h").
# These targets never see Qt's include paths, so a Qt header in a core folder fails to compile.
function(kalvex_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    kalvex_warnings(${name})
endfunction()

# One GoogleTest executable, registered with ctest test by test.
function(kalvex_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} kalvex_test_support GTest::gtest GTest::gtest_main)
    kalvex_warnings(${name})
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        # The tests never read or write the settings of a Kalvex run in the build.
        PROPERTIES ENVIRONMENT
            "KALVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR};KALVEX_SETTINGS=${CMAKE_CURRENT_BINARY_DIR}/no-settings/Kalvex.ini"
        DISCOVERY_TIMEOUT 60)
endfunction()
