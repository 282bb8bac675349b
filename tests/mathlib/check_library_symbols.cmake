# cmake -DNM=... -DREADELF=... -DLIBRARY=... -P check_library_symbols.cmake
# The library exports exactly its five functions and carries its package metadata note.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected trqm7xMath_RecalcCoeff trqm7xMath_povCheckValueAbs trqm7xMath_povCheckValueProc
             trqm7xMath_translateResults trqm7xMath_translateResultsFloat)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports of ${LIBRARY}:\n${symbols}\nexpected exactly: ${expected}")
endif()

execute_process(COMMAND ${READELF} -n ${LIBRARY} OUTPUT_VARIABLE notes RESULT_VARIABLE readelf_result)
if(NOT readelf_result EQUAL 0
   OR NOT notes MATCHES "FDO"
   OR NOT notes MATCHES "\"name\":\"trqm7x_math\""
   OR NOT notes MATCHES "\"version\":\"1.0\"")
  message(FATAL_ERROR "no package metadata note in ${LIBRARY}:\n${notes}")
endif()
message(STATUS "five exports and the package note are present")
