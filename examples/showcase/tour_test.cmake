# Tours the showcase headless: presses Right every STEP frames through every scene, moves
# joystick 0 on the way, presses Escape after the last scene. Passes when the program exits
# with 0 on its own, its frames are 640 x 480 and the last frame of each scene differs from
# that of every other.
# cmake -DSHOWCASE=<program> -DWORK=<folder> [-DSTEP=16] -P tour_test.cmake
if(NOT DEFINED STEP)
    set(STEP 16)
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/frames)

execute_process(COMMAND ${SHOWCASE} --headless --frames 1
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES "showcase: ([0-9]+) scenes")
    message(FATAL_ERROR "the showcase did not start (${result}): ${output}${errors}")
endif()
set(scenes ${CMAKE_MATCH_1})

set(script "# Written by tour_test.cmake\n1 plug 0\n")
math(EXPR last "${scenes} * ${STEP}")
foreach(frame RANGE 2 ${last} 6)
    math(EXPR x "(${frame} * 997) % 60000 + 2768")
    math(EXPR y "(${frame} * 1733) % 60000 + 2768")
    math(EXPR buttons "(${frame} / 6) % 16")
    string(APPEND script "${frame} joy 0 ${x} ${y} ${buttons}\n")
endforeach()
math(EXPR presses "${scenes} - 1")
foreach(k RANGE 1 ${presses})
    math(EXPR frame "${k} * ${STEP}")
    string(APPEND script "${frame} press Right\n")
endforeach()
string(APPEND script "${last} press Escape\n")
file(WRITE ${WORK}/tour.txt "${script}")

math(EXPR limit "${last} + 100")
execute_process(COMMAND ${SHOWCASE} --headless --frames ${limit} --input ${WORK}/tour.txt
        --capture ${WORK}/frames
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the showcase ended with ${result}: ${output}${errors}")
endif()
file(GLOB captured ${WORK}/frames/*.png)
list(LENGTH captured count)
if(count GREATER_EQUAL limit)
    message(FATAL_ERROR "Escape did not end the showcase (${count} frames captured)")
endif()

# The window the showcase asks for: every frame is 640 x 480 (the PNG header's size fields).
list(GET captured 0 first)
file(READ ${first} size OFFSET 16 LIMIT 8 HEX)
if(NOT size STREQUAL "00000280000001e0")
    message(FATAL_ERROR "frames are not 640 x 480 (header ${size})")
endif()

set(hashes "")
foreach(k RANGE 1 ${scenes})
    math(EXPR frame "${k} * ${STEP} - 1")
    string(LENGTH "${frame}" digits)
    math(EXPR zeros "6 - ${digits}")
    string(REPEAT "0" ${zeros} pad)
    set(file ${WORK}/frames/${pad}${frame}.png)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "scene ${k}: frame ${frame} was not captured")
    endif()
    file(SHA256 ${file} hash)
    list(FIND hashes ${hash} same)
    if(NOT same EQUAL -1)
        math(EXPR other "${same} + 1")
        message(FATAL_ERROR "scene ${k} shows the same frame as scene ${other}")
    endif()
    list(APPEND hashes ${hash})
endforeach()
message(STATUS "${scenes} scenes, ${count} frames, each scene's frame its own")
