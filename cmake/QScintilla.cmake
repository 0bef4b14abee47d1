# QScintilla for Qt 6 ships no CMake package: find its library and headers
# and wrap them in an imported target.
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
get_target_property(_zeltrix_qt_core_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h HINTS ${_zeltrix_qt_core_includes}
          PATH_SUFFIXES .. REQUIRED)
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
  INTERFACE_LINK_LIBRARIES "Qt6::Widgets")
