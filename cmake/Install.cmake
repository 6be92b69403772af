# The installed layout (cmake --install build/release --prefix DIR):
#   bin/        workstation, kestrun, vantrel; libVantrel.so, a link to ../lib/libVantrel.so,
#               where the workstation loads its add-in; Fennick/bin/libKestrun.so for the
#               vantrel command, whose processor looks beside the program
#   lib/        the shared libraries; Fennick/bin/libKestrun.so beside libVantrel.so, where
#               the add-in looks for the core (the folder of its module file + Fennick/bin)
#   share/tolvane/console/  the front-end console page
# Installed programs find their libraries relative to themselves, so the tree can move.
set(tolvane_libraries tolvane_host OcctHost Kestrun Vantrel TolvaneOle32 TolvaneOleAut32)
foreach(target ${tolvane_libraries})
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${target} LIBRARY DESTINATION lib)
  endif()
endforeach()
# The core is also loaded from the two Fennick/bin folders; its libraries are two up there.
set_target_properties(Kestrun PROPERTIES INSTALL_RPATH "$ORIGIN:$ORIGIN/../..")
install(TARGETS Kestrun LIBRARY DESTINATION lib/Fennick/bin)

foreach(target workstation kestrun vantrel)
  if(TARGET ${target})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
    install(TARGETS ${target} RUNTIME DESTINATION bin)
  endif()
endforeach()
if(TARGET vantrel)
  install(TARGETS Kestrun LIBRARY DESTINATION bin/Fennick/bin)
endif()
if(TARGET workstation)
  install(CODE "file(CREATE_LINK ../lib/$<TARGET_FILE_NAME:Vantrel>
                     \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/$<TARGET_FILE_NAME:Vantrel>\"
                     SYMBOLIC)")
endif()
if(TARGET vantrel_panel)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/panel/console DESTINATION share/tolvane)
endif()
