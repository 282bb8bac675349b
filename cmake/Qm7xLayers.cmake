# Layers of the program run one way: the shared program state sits below the subsystems, the
# subsystems (verification, calibration) below the program, and no subsystem knows another.
# qm7x_check_layers() fails the configuration when a target reaches one it must not.

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

function(qm7x_check_layers)
  qm7x_forbid_links(qm7x_program_state qm7x_app qm7x_verify qm7x_calibr)
  # The results store is beside the program-wide state, on the platform only (no Qt, no panels).
  qm7x_forbid_links(qm7x_results qm7x_app qm7x_verify qm7x_calibr qm7x_program_state qm7x_ui)
  qm7x_forbid_links(qm7x_metrology qm7x_app qm7x_verify qm7x_calibr qm7x_program_state qm7x_ui)
  qm7x_forbid_links(qm7x_verify qm7x_app qm7x_calibr)
  qm7x_forbid_links(qm7x_calibr qm7x_app qm7x_verify)
endfunction()
