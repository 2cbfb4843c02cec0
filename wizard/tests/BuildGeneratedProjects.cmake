# Generates a project of each kind with the wizard, builds each generated resource script
# into a resource-only library as its project says (the resource compiler, then the linker
# with no entry point, as /NOENTRY asks), and loads the libraries to check their resources.
# Run with cmake -P and -D RUN= (tools/wine-run.sh), BUILD=, PROGRAM=, FOLDER=, WINDRES=,
# LINKER=, FRAMEWORK_INCLUDE=, RC_INCLUDE=.
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
string(REPLACE "/" "\\" windows_folder "Z:${FOLDER}")

execute_process(COMMAND "${RUN}" "${BUILD}" "${PROGRAM}" generate "${windows_folder}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "generating the projects failed")
endif()

foreach(kind empty simple tabbed wizard)
    set(dir "${FOLDER}/${kind}")
    # The script includes "resource.h" and the wizard writes Resource.h: one file on
    # Windows, two names on this case-sensitive file system.
    file(COPY_FILE "${dir}/Resource.h" "${dir}/resource.h")
    # The framework's afxres.h carries ids only; the system's resource definitions come
    # from winresrc.h, as the environment's resource compiler brings them.
    execute_process(
        COMMAND "${WINDRES}" -I "${FRAMEWORK_INCLUDE}" -I "${RC_INCLUDE}"
                --preprocessor-arg=-include --preprocessor-arg=winresrc.h
                -O coff -i Demo.rc -o Demo.res.o
        WORKING_DIRECTORY "${dir}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the ${kind} project's resource script does not compile")
    endif()
    execute_process(
        COMMAND "${LINKER}" -shared -nostdlib -Wl,--entry=0 -o Demo.dll Demo.res.o
        WORKING_DIRECTORY "${dir}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the ${kind} project's library does not link")
    endif()
endforeach()

execute_process(COMMAND "${RUN}" "${BUILD}" "${PROGRAM}" check "${windows_folder}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the generated libraries do not hold the expected resources")
endif()
