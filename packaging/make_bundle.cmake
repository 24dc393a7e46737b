# Assembles the launcher's app bundle (cmake -P):
#   OUT/Contents/Info.plist, OUT/Contents/MacOS/nimbara and nimbara-cli (stripped),
#   OUT/Contents/Resources/nimbara.svg
# and seals it with nimbara-codesign when KEY and CERT are given. nimbara-cli lives in the bundle
# so that it reads the same Info.plist (catalog and service addresses) as the launcher.
# Variables: OUT, EXECUTABLE, CLI, INFO_PLIST, ICON, STRIP (may be empty), CODESIGN, KEY, CERT,
# CHAIN.
foreach(required OUT EXECUTABLE CLI INFO_PLIST ICON)
  if(NOT ${required})
    message(FATAL_ERROR "make_bundle.cmake: ${required} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/Contents/MacOS ${OUT}/Contents/Resources)
file(COPY_FILE ${INFO_PLIST} ${OUT}/Contents/Info.plist)
file(COPY_FILE ${ICON} ${OUT}/Contents/Resources/nimbara.svg)
file(COPY ${EXECUTABLE} ${CLI} DESTINATION ${OUT}/Contents/MacOS
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)
get_filename_component(name ${EXECUTABLE} NAME)
if(NOT name STREQUAL "nimbara")
  file(RENAME ${OUT}/Contents/MacOS/${name} ${OUT}/Contents/MacOS/nimbara)
endif()
if(STRIP)
  execute_process(COMMAND ${STRIP} --strip-unneeded ${OUT}/Contents/MacOS/nimbara
                          ${OUT}/Contents/MacOS/nimbara-cli
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

if(KEY AND CERT)
  set(chain_arguments)
  if(CHAIN)
    set(chain_arguments --chain ${CHAIN})
  endif()
  execute_process(COMMAND ${CODESIGN} sign --key ${KEY} --cert ${CERT} ${chain_arguments} ${OUT}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
