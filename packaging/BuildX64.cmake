# Builds the 64-bit Tamberlinox.exe for the packages (packaging/CMakeLists.txt):
#   cmake -D SOURCE_DIR=<repository> -D BINARY_DIR=<its build folder> -P BuildX64.cmake
# A folder that was never configured is configured with the preset windows-x64
# (its toolchain and build type; the folder itself is BINARY_DIR).

if(NOT EXISTS "${BINARY_DIR}/CMakeCache.txt")
  execute_process(COMMAND "${CMAKE_COMMAND}" --preset windows-x64 -B "${BINARY_DIR}"
    WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "The 64-bit build in ${BINARY_DIR} could not be configured")
  endif()
endif()
# Called from a make of the outer build, which does not hand its job slots down:
# the inner build takes two of its own (the outer one mostly waits for it).
unset(ENV{MAKEFLAGS})
unset(ENV{MAKELEVEL})
unset(ENV{MFLAGS})
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BINARY_DIR}" --target Tamberlinox --parallel 2 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "The 64-bit Tamberlinox.exe in ${BINARY_DIR} could not be built")
endif()
