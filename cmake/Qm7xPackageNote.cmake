# The one writer of the ELF ".note.package" version note: qm7x_add_package_note(<target> <json>...)
# joins the JSON pieces, generates a source from cmake/package_note.cpp.in into the build folder
# and adds it to <target>.
# A CMake template rather than a header of ours, so that the math library, which depends on
# nothing of ours, and the program share it.
set(_QM7X_PACKAGE_NOTE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/package_note.cpp.in)

function(qm7x_add_package_note target)
  set(QM7X_NOTE_TARGET ${target})
  string(JOIN "" QM7X_NOTE_JSON ${ARGN})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_package_note.cpp)
  configure_file(${_QM7X_PACKAGE_NOTE_TEMPLATE} ${source} @ONLY)
  target_sources(${target} PRIVATE ${source})
endfunction()
