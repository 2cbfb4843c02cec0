# For the scripts that write files from the name table: a file is written only when its text
# changes, so that an edit of a comment in the table does not relink or re-copy what reads it.
function(write_if_changed path text)
    set(old "")
    if(EXISTS "${path}")
        file(READ "${path}" old)
    endif()
    if(NOT old STREQUAL text)
        file(WRITE "${path}" "${text}")
    endif()
endfunction()
