# Each module publishes only its include/ folder. These tests compile a one-line file that
# includes a header through a module's public interface alone (a target that links it, as any
# other module would): a public header compiles, a private one is not found.
set(TOLVANE_PROBE_DIR ${CMAKE_BINARY_DIR}/boundary_probes)

function(tolvane_boundary_probe name module header expect)
  file(WRITE ${TOLVANE_PROBE_DIR}/${name}.cpp "#include \"${header}\"\n")
  add_library(boundary_probe_${name} OBJECT EXCLUDE_FROM_ALL ${TOLVANE_PROBE_DIR}/${name}.cpp)
  target_link_libraries(boundary_probe_${name} PRIVATE ${module})
  add_test(NAME boundary.${name}
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target boundary_probe_${name})
  # One build at a time in the tree; a private header fails on the missing file, nothing else.
  set_tests_properties(boundary.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
  if(expect STREQUAL "private")
    string(REPLACE "." "\\." pattern "${header}")
    set_tests_properties(boundary.${name} PROPERTIES
                         PASS_REGULAR_EXPRESSION "${pattern}: No such file or directory")
  endif()
endfunction()

tolvane_boundary_probe(host_public tolvane_host "host/part.h" public)
tolvane_boundary_probe(host_no_adapter tolvane_host "occt_host/session/session.h" private)
tolvane_boundary_probe(occt_host_public OcctHost "occt_host/session/session.h" public)
tolvane_boundary_probe(occt_host_private OcctHost "features/hole/hole.h" private)
tolvane_boundary_probe(occt_host_private_rooted OcctHost "occt_host/features/hole/hole.h" private)
tolvane_boundary_probe(core_public Kestrun "kestrun/kestrun.h" public)
tolvane_boundary_probe(core_private Kestrun "entry/json_input.h" private)
tolvane_boundary_probe(core_private_rooted Kestrun "core/entry/json_input.h" private)
tolvane_boundary_probe(transfer_public vantrel_transfer "vantrel/transfer_protocol.h" public)
tolvane_boundary_probe(transfer_private vantrel_transfer "transfer_replies.h" private)
tolvane_boundary_probe(cli_public kestrun_cli "cli/check_command.h" public)
tolvane_boundary_probe(cli_private kestrun_cli "check_summary.h" private)
# The add-in's module reaches the CAD application through host/ only.
tolvane_boundary_probe(vantrel_no_occt_host Vantrel "occt_host/session/session.h" private)
if(TARGET tolvane_workstation)
  tolvane_boundary_probe(workstation_public tolvane_workstation "workstation/workstation.h" public)
  tolvane_boundary_probe(workstation_private tolvane_workstation "tree_labels.h" private)
  # The desktop frame knows no geometry core: the program links them (desktop/).
  tolvane_boundary_probe(workstation_no_core tolvane_workstation "kestrun/kestrun.h" private)
  tolvane_boundary_probe(desktop_public tolvane_desktop "desktop/core_drawing.h" public)
endif()
