# A second configure of a build must change no command of the build: `make
# test` followed by `make package` configures twice, and every command that
# differs between the two runs (a compile flag, a link option) would run again
# for the package. Ninja lists the commands as it runs them.
#   cmake -DSOURCE_DIR=<tree> -DBUILD_DIR=<scratch folder> -DNINJA=<ninja> -P stable_configure.cmake
file(REMOVE_RECURSE "${BUILD_DIR}")
foreach(_run 1 2)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G Ninja
            "-DCMAKE_MAKE_PROGRAM=${NINJA}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    RESULT_VARIABLE _result OUTPUT_QUIET ERROR_VARIABLE _errors)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "Configure run ${_run} failed:\n${_errors}")
  endif()
  execute_process(COMMAND "${NINJA}" -C "${BUILD_DIR}" -t commands
                  OUTPUT_FILE "${BUILD_DIR}-commands-${_run}" RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "ninja -t commands failed")
  endif()
endforeach()

execute_process(COMMAND diff "${BUILD_DIR}-commands-1" "${BUILD_DIR}-commands-2"
                RESULT_VARIABLE _differ OUTPUT_VARIABLE _diff)
file(REMOVE_RECURSE "${BUILD_DIR}" "${BUILD_DIR}-commands-1" "${BUILD_DIR}-commands-2")
if(NOT _differ EQUAL 0)
  string(SUBSTRING "${_diff}" 0 3000 _diff)
  message(FATAL_ERROR "The second configure changed commands of the build:\n${_diff}")
endif()
message(STATUS "A second configure changes no command of the build")
