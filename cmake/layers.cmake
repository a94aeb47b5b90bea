# The folders depend one way only. Linking already refuses a call that
# reaches up (each folder's library links only what lies below it); this
# check refuses, when the build is configured, an include that reaches up.
set(DRAINPREP_LAYERS
  "common:common"
  "figure:figure"
  "soilcalc:common soilcalc"
  "soilprep:common soilcalc soilprep"
  "weather:common weather"
  "drainprep:common soilcalc soilprep weather drainprep"
  "soilview:common soilcalc soilprep figure soilview"
  "weatherview:common weather figure weatherview"
  "weatherimport:common weather figure weatherview weatherimport"
  "soildata:figure soildata"
  "command:common soilcalc soilprep weather figure soilview weatherview weatherimport soildata drainprep command"
  "python:drainprep soildata weatherimport")
foreach(layer ${DRAINPREP_LAYERS})
  string(REPLACE ":" ";" parts "${layer}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  string(REPLACE " " ";" allowed "${allowed}")
  file(GLOB sources ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^#include \"[a-z]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" target "${line}")
      if(NOT target IN_LIST allowed)
        message(FATAL_ERROR "${source} includes ${target}/, which does not lie below ${folder}/")
      endif()
    endforeach()
  endforeach()
endforeach()
