# cmake -DBUILD_DIR=... -DHOST_SOURCE=... -DWORK_DIR=... -DGENERATOR=... -P RunInstallTest.cmake
#
# Installs the package into a scratch prefix, builds host programs outside
# the tree against it with find_package, and runs them and the installed
# tools in an empty environment: no LD_LIBRARY_PATH, no display.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run_step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "step failed (${rc}): ${ARGN}\n${out}\n${err}")
    endif()
endfunction()

# Runs a program with nothing in its environment; its output must match.
function(run_clean expected)
    execute_process(COMMAND env -i ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "${expected}")
        message(FATAL_ERROR "failed in a clean environment (${rc}): ${ARGN}\n${out}\n${err}")
    endif()
    message(STATUS "${ARGN}: ${out}")
endfunction()

run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run_step(${CMAKE_COMMAND} -S ${HOST_SOURCE} -B ${WORK_DIR}/host -G ${GENERATOR}
         -DCMAKE_PREFIX_PATH=${prefix})
run_step(${CMAKE_COMMAND} --build ${WORK_DIR}/host)

run_clean("lambda=0\\.0.*network=[0-9]+ kPa" ${WORK_DIR}/host/host)
if(EXISTS ${WORK_DIR}/host/host_ui)
    run_clean("dialog=0 lambda=0\\.0" ${WORK_DIR}/host/host_ui)
endif()
if(EXISTS ${prefix}/bin/tqrvn)
    run_clean("^(100000|99999\\.9+)" ${prefix}/bin/tqrvn convert 1 bar Pa)
    # A new catalog from the seed tables installed with the package, found
    # relative to the library wherever the prefix lies.
    run_clean("" ${prefix}/bin/tqrvn catalog create ${WORK_DIR}/new.mdb)
    run_clean("PE-RT" ${prefix}/bin/tqrvn --catalog ${WORK_DIR}/new.mdb catalog list materials)
endif()
# Without a display the catalog program may decline to start its window;
# it must still load: the dynamic loader finds every library it needs.
if(EXISTS ${prefix}/bin/tqrvn-catalog)
    execute_process(COMMAND env -i ${prefix}/bin/tqrvn-catalog --help
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc EQUAL 127 OR err MATCHES "error while loading shared libraries")
        message(FATAL_ERROR "tqrvn-catalog does not load from the prefix (${rc}):\n${out}\n${err}")
    endif()
endif()
