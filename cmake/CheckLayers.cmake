# Keeps the layers honest: includes run downward only (app -> gui -> core,
# cli -> core). Run as a test: cmake -DSOURCE_DIR=<src folder> -P CheckLayers.cmake
#
# Each rule: a folder under src/, and a regular expression of includes that no
# file in it may have.
set(_rules
  "core|#include[ \t]*[<\"](Q[A-Za-z]*[/>\"]|Qt[A-Za-z]*/|Qsci/|gui/|cli/|app/)"
  "cli|#include[ \t]*[<\"](gui/|app/|QtWidgets|QtGui|Qsci/)"
  "gui|#include[ \t]*[<\"](cli/|app/)"
  # The LCD window takes the text from its owner's functions, not from the main window's editor.
  "gui/lcd|#include[ \t]*[<\"]gui/main/"
)
set(_failures "")
foreach(_rule IN LISTS _rules)
  string(REPLACE "|" ";" _parts "${_rule}")
  list(GET _parts 0 _layer)
  list(SUBLIST _parts 1 -1 _pattern_parts)
  string(JOIN "|" _pattern ${_pattern_parts})
  file(GLOB_RECURSE _files "${SOURCE_DIR}/${_layer}/*.h" "${SOURCE_DIR}/${_layer}/*.cpp")
  foreach(_file IN LISTS _files)
    file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include")
    foreach(_line IN LISTS _lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include" "#include" _line "${_line}")
      if(_line MATCHES "${_pattern}")
        file(RELATIVE_PATH _rel "${SOURCE_DIR}" "${_file}")
        string(APPEND _failures "  ${_rel}: ${_line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(_failures)
  message(FATAL_ERROR "Includes that run against the layers:\n${_failures}")
endif()
message(STATUS "Every include runs downward")
