# Writes the launcher's signing configuration header (cmake -P): TEAM (trimmed) and the PEM file
# ANCHORS (may be empty) into TEMPLATE, to OUT. OUT is only touched when its text changes, so an
# unchanged configuration rebuilds nothing.
string(STRIP "${TEAM}" NIMBARA_SIGNING_TEAM)
set(NIMBARA_TRUST_ANCHORS_PEM "")
if(ANCHORS)
  if(NOT EXISTS "${ANCHORS}")
    message(FATAL_ERROR "The trust anchors ${ANCHORS} do not exist")
  endif()
  file(READ "${ANCHORS}" NIMBARA_TRUST_ANCHORS_PEM)
endif()
if("${NIMBARA_SIGNING_TEAM}${NIMBARA_TRUST_ANCHORS_PEM}" MATCHES "\\)nimbara\"")
  message(FATAL_ERROR "The signing team or the trust anchors hold the text )nimbara\"")
endif()
configure_file("${TEMPLATE}" "${OUT}.new" @ONLY)
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
