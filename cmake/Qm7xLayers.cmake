# Layers of the program run one way (see the README's Layout section):
#   1. the driver declarations and the record they hand over (drivers/), the platform (os, visa,
#      the user-interface run-time), the panel resource, the integrity module, the math library,
#      and the simulated bench;
#   2. the program-wide state the subsystems share (program_state/);
#   3. the subsystems, verification and calibration, which never know each other;
#   4. the program (app/), the only place that knows every subsystem.
# qm7x_check_layers() fails the configuration when a target links a target of a layer above it or
# beside it, or includes one of that target's headers (without linking it, a header can still pull
# a higher layer's declarations in).

# Every target of this build that <target> links, directly or through others.
function(_qm7x_linked_targets target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(NOT TARGET ${current})
      continue()
    endif()
    get_target_property(links ${current} LINK_LIBRARIES)
    get_target_property(ilinks ${current} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links ilinks)
      # Generator expressions and plain flags are not targets of this tree.
      if(link MATCHES "^\\$<" OR NOT TARGET ${link} OR link IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${link})
      list(APPEND queue ${link})
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Folders in which the headers of <target> are found: its public include folders and its own
# source folder with src/ (private headers).
function(_qm7x_header_roots target out)
  get_target_property(dir ${target} SOURCE_DIR)
  set(roots ${dir} ${dir}/src)
  get_target_property(includes ${target} INTERFACE_INCLUDE_DIRECTORIES)
  foreach(include IN LISTS includes)
    if(include AND NOT include MATCHES "\\$<" AND IS_DIRECTORY "${include}")
      list(APPEND roots ${include})
    endif()
  endforeach()
  set(${out} ${roots} PARENT_SCOPE)
endfunction()

# The source and header files of <target>: its listed sources, and for a target of headers only
# every header under its public include folders.
function(_qm7x_target_files target out)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(files "")
  foreach(source IN LISTS sources)
    if(NOT source OR source MATCHES "\\$<")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} OUTPUT_VARIABLE source)
    if(EXISTS ${source} AND source MATCHES "\\.(c|cpp|h)$")
      list(APPEND files ${source})
    endif()
  endforeach()
  get_target_property(includes ${target} INTERFACE_INCLUDE_DIRECTORIES)
  foreach(include IN LISTS includes)
    if(include AND NOT include MATCHES "\\$<" AND IS_DIRECTORY "${include}"
       AND include MATCHES "^${dir}")
      file(GLOB_RECURSE headers "${include}/*.h")
      list(APPEND files ${headers})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# qm7x_forbid_includes(<target> <forbidden targets...>): no file of <target> includes a header
# that only a forbidden target holds.
function(qm7x_forbid_includes target)
  if(NOT TARGET ${target})
    return()
  endif()
  _qm7x_header_roots(${target} own_roots)
  _qm7x_target_files(${target} files)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    cmake_path(GET file PARENT_PATH beside)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" name "${line}")
      # A header beside the file or of the target's own is its own, whatever else holds the name.
      set(own FALSE)
      foreach(root IN ITEMS ${beside} ${own_roots})
        if(EXISTS "${root}/${name}")
          set(own TRUE)
        endif()
      endforeach()
      if(own)
        continue()
      endif()
      foreach(forbidden IN LISTS ARGN)
        if(NOT TARGET ${forbidden})
          continue()
        endif()
        _qm7x_header_roots(${forbidden} roots)
        foreach(root IN LISTS roots)
          if(EXISTS "${root}/${name}")
            message(FATAL_ERROR "Layering: ${target} includes \"${name}\" (${file}), a header of "
                                "${forbidden}, a target of a layer above it or beside it; layers "
                                "run one way (see the README's layout)")
          endif()
        endforeach()
      endforeach()
    endforeach()
  endforeach()
endfunction()

# qm7x_forbid_links(<target> <forbidden targets...>)
function(qm7x_forbid_links target)
  if(NOT TARGET ${target})
    return()
  endif()
  _qm7x_linked_targets(${target} linked)
  foreach(forbidden IN LISTS ARGN)
    if(forbidden IN_LIST linked)
      message(FATAL_ERROR "Layering: ${target} links ${forbidden}, a target of a layer above it "
                          "or beside it; layers run one way (see the README's layout)")
    endif()
  endforeach()
endfunction()

# qm7x_forbid(<target> <forbidden targets...>): neither links nor includes.
function(qm7x_forbid target)
  qm7x_forbid_links(${target} ${ARGN})
  qm7x_forbid_includes(${target} ${ARGN})
endfunction()

function(qm7x_check_layers)
  set(above_layer_1 qm7x_program_state qm7x_results qm7x_metrology qm7x_verify qm7x_calibr
                    qm7x_procedure qm7x_app)
  foreach(target IN ITEMS qm7x_driver_api qm7x_platform_os qm7x_platform_visa qm7x_visa_api
                          qm7x_ui qm7x_ui_resource_parser qm7x_ui_qt qm7x_resource
                          qm7x_integrity trqm7x_math qm7x_uncertainty qm7x_certificate
                          qm7x_certificate_pdf
                          qm7x_sim_world qm7x_sim_visa trholdr_32 trqm7x_32)
    qm7x_forbid(${target} ${above_layer_1})
  endforeach()
  qm7x_forbid(qm7x_program_state qm7x_app qm7x_verify qm7x_calibr qm7x_procedure qm7x_results
              qm7x_metrology)
  # The results store and the metrology records kept in it are beside the program-wide state, on
  # the platform only (no Qt, no panels).
  qm7x_forbid(qm7x_results qm7x_app qm7x_verify qm7x_calibr qm7x_procedure qm7x_program_state
              qm7x_ui qm7x_metrology)
  qm7x_forbid(qm7x_metrology qm7x_app qm7x_verify qm7x_calibr qm7x_procedure qm7x_program_state
              qm7x_ui qm7x_certificate_pdf)
  qm7x_forbid(qm7x_verify qm7x_app qm7x_calibr qm7x_procedure)
  qm7x_forbid(qm7x_calibr qm7x_app qm7x_verify qm7x_procedure)
  # The automatic procedure drives both subsystems and is driven by the program only.
  qm7x_forbid(qm7x_procedure qm7x_app)
endfunction()
