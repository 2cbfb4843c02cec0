# Runs one example script with qxrun.exe and compares its output with the expected text.
# PAGE: the reference page must show the script and its output as they are.
# WORKDIR: the folder the script runs in (the files it writes stay there).
string(REPLACE "/" "\\" windows_path "Z:${SCRIPT}")
if(NOT WORKDIR)
    set(WORKDIR ${CMAKE_CURRENT_BINARY_DIR})
endif()
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(COMMAND ${RUNNER} ${BUILD} ${BUILD}/bin/qxrun.exe ${windows_path}
    WORKING_DIRECTORY ${WORKDIR}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
string(REPLACE "\r" "" out "${out}")
file(READ ${EXPECTED} expected)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} failed (exit ${rc}):\n${out}${err}")
endif()
if(NOT out STREQUAL expected)
    message(FATAL_ERROR "${SCRIPT} printed:\n${out}\nexpected:\n${expected}")
endif()
if(PAGE)
    file(READ ${PAGE} page)
    file(READ ${SCRIPT} script)
    foreach(part script expected)
        string(FIND "${page}" "${${part}}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${PAGE} does not show the ${part} of ${SCRIPT} as it is")
        endif()
    endforeach()
endif()
