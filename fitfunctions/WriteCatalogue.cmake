cmake_minimum_required(VERSION 3.16)
# Writes the fitter's catalogue of the library's models from the name table FitTable.inc:
#   cmake -DTABLE=FitTable.inc -DOUT=<program folder> -P WriteCatalogue.cmake
# One definition file per row, <OUT>/fitfunc/<group>/<row>.fdf, and <OUT>/qfit.ini with
# section "Category" (category name = folder, relative to the program folder) and one
# section per category listing its rows; Gauss is the default of the category a new
# session opens.
include(${CMAKE_CURRENT_LIST_DIR}/WriteIfChanged.cmake)

# Group token of the table -> category name. The order is the order of section "Category".
set(groups Basic Peak Exponential Polynomial Growth Yield Isotherm Rational Periodic TwoParam OneParam)
set(name_Basic       "Quorix Basic Functions")
set(name_Peak        "Peak Functions")
set(name_Exponential "Exponential Sums")
set(name_Polynomial  "Polynomials and Binding")
set(name_Growth      "Growth and Sigmoidal")
set(name_Yield       "Yield and Dose Response")
set(name_Isotherm    "Isotherms and Asymptotic Regression")
set(name_Rational    "Rational and Hyperbolic")
set(name_Periodic    "Pulse, Power and Periodic")
set(name_TwoParam    "Two-Parameter Laws")
set(name_OneParam    "One-Parameter Laws")
set(default_Basic Gauss)

# The replicable peaks: p1 is the common baseline and each further peak repeats the
# parameters 2..n, so their definitions offer duplicates from parameter 2 on.
set(replicable Gauss Lorentz GaussMod GCAS ECS CCE LogNormal Asym2Sig Weibull3 Voigt5
    PsdVoigt1 PsdVoigt2 InvsPoly Giddings Extreme Beta LogistPK GaussAmp)

function(repeat_list out item count)
    set(text "")
    foreach(i RANGE 1 ${count})
        if(i GREATER 1)
            string(APPEND text ",")
        endif()
        string(REPLACE "#" "${i}" one "${item}")
        string(APPEND text "${one}")
    endforeach()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The meanings whose parameters the fitter estimates from the data (FitEstimate.cpp).
set(estimated "offset" "center" "width" "area" "amplitude" "x offset" "decay time"
    "growth time" "initial value" "final value")

set(nl "\r\n")
# Each row's meanings and start values (QX_FORM lines).
file(STRINGS "${TABLE}" forms REGEX "^QX_FORM\\(")
foreach(line IN LISTS forms)
    if(NOT line MATCHES "^QX_FORM\\(([A-Za-z0-9_]+), \"([^\"]*)\", \"([^\"]*)\", ([-0-9.]+), ([-0-9.]+), \"([^\"]*)\"\\)$")
        message(FATAL_ERROR "FitTable.inc: cannot read the line '${line}'")
    endif()
    set(meanings_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    set(start_${CMAKE_MATCH_1} "${CMAKE_MATCH_3}")
endforeach()
file(STRINGS "${TABLE}" lines REGEX "^QX_ROW\\(")
foreach(group IN LISTS groups)
    set(rows_${group} "")
endforeach()
set(total 0)
foreach(line IN LISTS lines)
    string(REGEX REPLACE "[ \t]" "" line "${line}")
    if(NOT line MATCHES "^QX_ROW\\(([A-Za-z0-9_]+),[A-Za-z0-9_]+,[A-Za-z0-9_-]+,[0-9]+,([0-9]+),([0-9]+),([A-Za-z]+)\\)$")
        message(FATAL_ERROR "FitTable.inc: cannot read the line '${line}'")
    endif()
    set(row "${CMAKE_MATCH_1}")
    set(nindep "${CMAKE_MATCH_2}")
    set(nparams "${CMAKE_MATCH_3}")
    set(group "${CMAKE_MATCH_4}")
    if(NOT DEFINED name_${group})
        message(FATAL_ERROR "FitTable.inc: row ${row} names the unknown group '${group}'")
    endif()
    list(APPEND rows_${group} ${row})
    math(EXPR total "${total} + 1")

    if(NOT DEFINED start_${row})
        message(FATAL_ERROR "FitTable.inc: row ${row} has no QX_FORM line")
    endif()
    repeat_list(names "P#" ${nparams})
    string(REPLACE " " ";" starts "${start_${row}}")
    if("${meanings_${row}}" STREQUAL "")
        repeat_list(meanings "?" ${nparams})
        set(roles "")
    else()
        set(meanings "${meanings_${row}}")
        string(REPLACE ", " ";" roles "${meanings}")
    endif()
    set(initial "")
    foreach(i RANGE 1 ${nparams})
        math(EXPR k "${i} - 1")
        list(GET starts ${k} value)
        set(role "")
        if(roles)
            list(GET roles ${k} role)
        endif()
        if(role STREQUAL "x offset")
            set(entry "--(F)")
        elseif(role IN_LIST estimated)
            set(entry "--(V)")
        else()
            set(entry "${value}(V)")
        endif()
        if(i GREATER 1)
            string(APPEND initial ",")
        endif()
        string(APPEND initial "${entry}")
    endforeach()
    repeat_list(bounds "--(X,OFF)" ${nparams})
    if(nindep EQUAL 1)
        set(indep "x=${nl}")
    else()
        set(indep "")
        foreach(i RANGE 1 ${nindep})
            string(APPEND indep "x${i}=${nl}")
        endforeach()
    endif()
    if(row IN_LIST replicable)
        math(EXPR unit "${nparams} - 1")
        set(dup "Number Of Duplicates=0${nl}Duplicate Offset=2${nl}Duplicate Unit=${unit}${nl}")
    else()
        set(dup "Number Of Duplicates=N/A${nl}Duplicate Offset=N/A${nl}Duplicate Unit=N/A${nl}")
    endif()
    set(text "[GENERAL INFORMATION]${nl}")
    string(APPEND text
        "Function Name=${row}${nl}"
        "Brief Description=${name_${group}}: ${row}${nl}"
        "Function Source=curvelib.${row}${nl}"
        "Function Type=Built-in${nl}"
        "Function Form=Expression${nl}"
        "Number Of Parameters=${nparams}${nl}"
        "Number Of Independent Variables=${nindep}${nl}"
        "Number Of Dependent Variables=1${nl}${nl}${nl}"
        "[FITTING PARAMETERS]${nl}"
        "Naming Method=Default${nl}"
        "Names=${names}${nl}"
        "Meanings=${meanings}${nl}"
        "Initial Values=${initial}${nl}"
        "Lower Bounds=${bounds}${nl}"
        "Upper Bounds=${bounds}${nl}"
        "Number Of Significant Digits=${nl}${nl}${nl}"
        "[FORMULA]${nl}${nl}${nl}${nl}"
        "[CONSTRAINTS]${nl}${nl}${nl}${nl}"
        "[CONSTANTS]${nl}${nl}${nl}"
        "[INITIALIZATIONS]${nl}${nl}${nl}${nl}"
        "[AFTER FITTING]${nl}${nl}${nl}${nl}"
        "[INDEPENDENT VARIABLES]${nl}${indep}${nl}${nl}"
        "[DEPENDENT VARIABLES]${nl}y=${nl}${nl}${nl}"
        "[CONTROLS]${nl}"
        "General Linear Constraints=Off${nl}"
        "Initialization Scripts=Off${nl}"
        "Scripts After Fitting=Off${nl}"
        "${dup}${nl}${nl}")
    write_if_changed("${OUT}/fitfunc/${group}/${row}.fdf" "${text}")
endforeach()

set(ini "[Category]${nl}")
foreach(group IN LISTS groups)
    string(APPEND ini "${name_${group}}=fitfunc\\${group}${nl}")
endforeach()
foreach(group IN LISTS groups)
    string(APPEND ini "${nl}[${name_${group}}]${nl}")
    if(DEFINED default_${group})
        string(APPEND ini "Default Function=${default_${group}}${nl}")
    endif()
    foreach(row IN LISTS rows_${group})
        string(APPEND ini "${row}=${row}${nl}")
    endforeach()
endforeach()
file(WRITE "${OUT}/qfit.ini" "${ini}")
message(STATUS "Function catalogue: ${total} definitions in ${OUT}/fitfunc")
