# Installs the math library into a scratch prefix and checks that the installed file still carries
# a matching internal CRC record. Variables: INSTALL_DIR (the build directory to install from),
# PREFIX, INSTALLED (the library's path under PREFIX), CRC32STAMP, CONFIG.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" --install "${INSTALL_DIR}" --prefix "${PREFIX}" --config "${CONFIG}"
  RESULT_VARIABLE install_result)
if(NOT install_result EQUAL 0)
  message(FATAL_ERROR "cmake --install ${INSTALL_DIR} failed: ${install_result}")
endif()
if(NOT EXISTS "${PREFIX}/${INSTALLED}")
  message(FATAL_ERROR "the install put no file at ${PREFIX}/${INSTALLED}")
endif()
execute_process(COMMAND "${CRC32STAMP}" check "${PREFIX}/${INSTALLED}" RESULT_VARIABLE check_result)
file(REMOVE_RECURSE "${PREFIX}")
if(NOT check_result EQUAL 0)
  message(FATAL_ERROR "the installed library does not check (crc32stamp exit ${check_result})")
endif()
