# tarvex_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds one GoogleTest executable and registers it with CTest. Every test
# runs through tests/run-isolated.sh, which gives it a fresh HOME and fresh
# XDG folders and the offscreen Qt platform, so no test sees the real desktop.
find_package(GTest REQUIRED)
function(tarvex_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main tarvex_warnings)
    target_compile_definitions(${name} PRIVATE
        TARVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TARVEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME ${name}
        COMMAND ${PROJECT_SOURCE_DIR}/tests/run-isolated.sh $<TARGET_FILE:${name}>)
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()
