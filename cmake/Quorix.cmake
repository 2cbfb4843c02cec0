# Helpers for the project's targets. Every program, library and test goes to one output
# folder (the program folder), because plug-ins, function libraries and tests load
# deliverables by name from beside the executable.

# Files a resource script includes through the preprocessor are reported by it (see the
# top-level CMakeLists); files it names in resource statements (bitmaps, icons, templates)
# are not, so a resource script among the sources is made to depend on every resource
# input below the folder of the target's CMakeLists.
function(qx_track_resource_inputs)
    foreach(src ${ARGN})
        if(src MATCHES "\\.rc$")
            set(patterns)
            foreach(ext rc RC rc2 h H bmp BMP ico ICO cur CUR inf INF qgs QGS)
                list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.${ext})
            endforeach()
            file(GLOB_RECURSE inputs CONFIGURE_DEPENDS ${patterns})
            set_source_files_properties(${src} PROPERTIES OBJECT_DEPENDS "${inputs}")
        endif()
    endforeach()
endfunction()

# qx_add_dll(<target> OUTPUT <file stem> [DEF <file.def>] SOURCES ... [LINK ...])
# A Windows DLL with the given file name, its export list taken from DEF.
function(qx_add_dll target)
    cmake_parse_arguments(A "" "OUTPUT;DEF" "SOURCES;LINK" ${ARGN})
    add_library(${target} SHARED ${A_SOURCES})
    qx_track_resource_inputs(${A_SOURCES})
    if(A_DEF)
        target_sources(${target} PRIVATE ${A_DEF})
    endif()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${A_OUTPUT} PREFIX "")
    if(A_LINK)
        target_link_libraries(${target} PRIVATE ${A_LINK})
    endif()
endfunction()

# qx_add_exe(<target> OUTPUT <file stem> [GUI] SOURCES ... [LINK ...])
function(qx_add_exe target)
    cmake_parse_arguments(A "GUI" "OUTPUT" "SOURCES;LINK" ${ARGN})
    if(A_GUI)
        add_executable(${target} WIN32 ${A_SOURCES})
    else()
        add_executable(${target} ${A_SOURCES})
    endif()
    qx_track_resource_inputs(${A_SOURCES})
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${A_OUTPUT})
    if(A_LINK)
        target_link_libraries(${target} PRIVATE ${A_LINK})
    endif()
endfunction()

# qx_add_test(<target> SOURCES ... [LINK ...] [DEPENDS ...] [TIMEOUT s] [NO_MAIN] [SERIAL]
#             [ENVIRONMENT VAR=value ...])
# A GoogleTest program run through Wine; each test case becomes a CTest test.
# DEPENDS names targets (deliverables, sample libraries) the test loads at run time.
# ENVIRONMENT reaches the Unix side too (unixODBC reads ODBCSYSINI and ODBCINI there).
# SERIAL runs the cases with no other test beside them: for tests that start whole programs
# and wait for their windows, which a machine busy with other tests can hold up.
function(qx_add_test target)
    cmake_parse_arguments(A "NO_MAIN;SERIAL" "TIMEOUT" "SOURCES;LINK;DEPENDS;ENVIRONMENT" ${ARGN})
    add_executable(${target} ${A_SOURCES})
    qx_track_resource_inputs(${A_SOURCES})
    if(A_NO_MAIN)
        target_link_libraries(${target} PRIVATE GTest::gmock ${A_LINK})
    else()
        target_link_libraries(${target} PRIVATE GTest::gmock_main ${A_LINK})
    endif()
    if(A_DEPENDS)
        add_dependencies(${target} ${A_DEPENDS})
    endif()
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 120)
    endif()
    set(properties TIMEOUT ${A_TIMEOUT} LABELS ${target})
    if(A_SERIAL)
        list(APPEND properties RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        WORKING_DIRECTORY ${QX_BIN_DIR}
        PROPERTIES ${properties} ENVIRONMENT "${A_ENVIRONMENT}")
endfunction()
