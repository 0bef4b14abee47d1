# QScintilla for Qt 6 ships no CMake package: find its library and headers
# and wrap them in an imported target.
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
# The headers sit in Qt's include folder, the parent of QtCore's. The hints
# are plain paths: a found ".../QtCore/.." is cached as ".../qt6" by the next
# configure, and that change of the include flags rebuilt every window file.
get_target_property(_zeltrix_qt_core_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
set(_zeltrix_qsci_hints "")
foreach(_dir IN LISTS _zeltrix_qt_core_includes)
  cmake_path(GET _dir PARENT_PATH _parent)
  list(APPEND _zeltrix_qsci_hints "${_dir}" "${_parent}")
endforeach()
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h HINTS ${_zeltrix_qsci_hints} REQUIRED)
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
  INTERFACE_LINK_LIBRARIES "Qt6::Widgets")
