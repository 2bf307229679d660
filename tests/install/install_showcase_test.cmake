# Installs the framework from the build in BUILD_DIR to a prefix of its own, configures and
# builds a copy of the showcase (SOURCE) against that prefix alone, and runs it headless for a
# few frames. The showcase's tour is a test of its own.
# cmake -DBUILD_DIR=... -DSOURCE=... -DWORK=... -DCXX=... -DBUILD_TYPE=... -DSANITIZE=ON|OFF
#       -P install_showcase_test.cmake
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
        ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${what} failed (${result}):\n${output}\n${errors}")
    endif()
    set(run_output "${output}" PARENT_SCOPE)
endfunction()

run("installing the framework"
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component framework)
foreach(expected include/plonder/app/app.h include/plonder/draw/blit/blit.h
        include/plonder/platform/headless/control.h lib/libplonder_shell.a
        lib/libplonder_framework.a lib/libplonder_platform.a lib/cmake/Plonder/PlonderConfig.cmake)
    if(NOT EXISTS ${prefix}/${expected} AND NOT EXISTS ${prefix}/${expected}64)
        file(GLOB_RECURSE found RELATIVE ${prefix} ${prefix}/*)
        message(FATAL_ERROR "${expected} is not installed; the prefix holds: ${found}")
    endif()
endforeach()
file(GLOB_RECURSE internal ${prefix}/include/*_internal.h)
if(internal)
    message(FATAL_ERROR "internal headers are installed: ${internal}")
endif()

# A copy of the folder, so nothing in the build can reach back into the tree.
file(COPY ${SOURCE}/ DESTINATION ${WORK}/showcase)
set(flags "")
if(SANITIZE)
    set(flags -DCMAKE_CXX_FLAGS=-fsanitize=address,undefined
        -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined)
endif()
run("configuring the showcase"
    ${CMAKE_COMMAND} -S ${WORK}/showcase -B ${WORK}/build -DCMAKE_PREFIX_PATH=${prefix}
        -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=${BUILD_TYPE} ${flags})
run("building the showcase" ${CMAKE_COMMAND} --build ${WORK}/build -j 2)
run("running the showcase" ${WORK}/build/showcase --headless --frames 30)
if(NOT run_output MATCHES "showcase: [0-9]+ scenes")
    message(FATAL_ERROR "the showcase did not start its scenes: ${run_output}")
endif()
message(STATUS "installed to ${prefix}; the showcase built from it ran")
