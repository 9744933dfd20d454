# Runs the figure example into an emptied folder and checks that it wrote
# every frame it announced.
file(REMOVE_RECURSE "${OUTPUT}")
execute_process(COMMAND "${EXAMPLE}" "${OUTPUT}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the figure example failed (${status}): ${errors}")
endif()
string(REGEX MATCHALL "[^\n]+\\.png" frames "${output}")
list(LENGTH frames count)
if(count LESS 2)
    message(FATAL_ERROR "the figure example announced ${count} frames: ${output}")
endif()
foreach(frame IN LISTS frames)
    if(NOT EXISTS "${frame}")
        message(FATAL_ERROR "the figure example did not write ${frame}")
    endif()
endforeach()
message(STATUS "figure example wrote ${count} frames")
