# The version resource of the shipped programs, from OVSETUP_VERSION (one to
# four numbers of 0..65535, "1.2" or "1.2.0.7"; missing ones count as 0).
#
# ovsetup_version_resource(TARGET FILE-NAME DESCRIPTION-ZH DESCRIPTION-EN)
#   Writes TARGET's resource script from resources/version.rc.in into the
#   build folder and adds it to TARGET. FILE-NAME is the name the program
#   ships under; the descriptions are UTF-8.
set(OVSETUP_VERSION "${PROJECT_VERSION}" CACHE STRING
    "Version of the shipped programs (their version resource)")
if(NOT OVSETUP_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
  message(FATAL_ERROR "OVSETUP_VERSION '${OVSETUP_VERSION}' is not one to four numbers joined by dots")
endif()
string(REPLACE "." ";" _ovsetup_version_parts "${OVSETUP_VERSION}.0.0.0")
list(SUBLIST _ovsetup_version_parts 0 4 _ovsetup_version_parts)
set(_ovsetup_version_numbers)
foreach(part ${_ovsetup_version_parts})
  # Leading zeros would read as octal in the resource script.
  string(REGEX REPLACE "^0+([0-9])" "\\1" part "${part}")
  if(part GREATER 65535)
    message(FATAL_ERROR "OVSETUP_VERSION '${OVSETUP_VERSION}': ${part} is above 65535")
  endif()
  list(APPEND _ovsetup_version_numbers ${part})
endforeach()

function(ovsetup_version_resource target rc_file_name rc_description_zh rc_description_en)
  string(JOIN "," rc_version_numbers ${_ovsetup_version_numbers})
  string(JOIN "." rc_version_dotted ${_ovsetup_version_numbers})
  get_filename_component(rc_internal_name ${rc_file_name} NAME_WE)
  set(script ${CMAKE_BINARY_DIR}/resources/${target}-version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/version.rc.in ${script} @ONLY)
  target_sources(${target} PRIVATE ${script})
endfunction()
