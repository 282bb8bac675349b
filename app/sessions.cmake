# Carrier and mezzanine sessions and the self-test; part of the program's core library.
target_sources(qm7x_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/sessions.h
  ${CMAKE_CURRENT_LIST_DIR}/sessions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session_protocol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/selftest.h
  ${CMAKE_CURRENT_LIST_DIR}/selftest.cpp)
target_link_libraries(qm7x_app PUBLIC qm7x_calibr qm7x_ui qm7x_resource qm7x_platform_os)
