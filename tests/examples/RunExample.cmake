# Runs one example script with qxrun.exe and compares its output with the expected text.
string(REPLACE "/" "\\" windows_path "Z:${SCRIPT}")
execute_process(COMMAND ${RUNNER} ${BUILD} ${BUILD}/bin/qxrun.exe ${windows_path}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
string(REPLACE "\r" "" out "${out}")
file(READ ${EXPECTED} expected)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} failed (exit ${rc}):\n${out}${err}")
endif()
if(NOT out STREQUAL expected)
    message(FATAL_ERROR "${SCRIPT} printed:\n${out}\nexpected:\n${expected}")
endif()
