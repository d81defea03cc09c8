# Precompiled Qt headers. Parsing Qt's headers is most of what compiling one
# of our units costs, so each kind of unit shares one precompiled header:
#   zw_pch_core(target)  units that see the core Qt modules (zelnor_core and
#                        everything linking only it)
#   zw_pch_gui(target)   units that see the widgets too
# A precompiled header can only be shared between targets compiled with the
# same flags and Qt module definitions (gcc refuses it otherwise, and
# -Winvalid-pch with -Werror turns that into an error), hence one holder per
# kind, with exactly the link libraries of the units that reuse it.

set(ZW_PCH_CORE_HEADERS
  <algorithm> <functional> <memory> <optional> <vector>
  <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
  <QMap> <QObject> <QPointer> <QRegularExpression> <QSet> <QSettings> <QSqlDatabase>
  <QSqlError> <QSqlQuery> <QSqlRecord> <QString> <QStringList> <QTextStream> <QTimer>
  <QVariant>)
set(ZW_PCH_GUI_HEADERS ${ZW_PCH_CORE_HEADERS}
  <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QDialogButtonBox>
  <QFormLayout> <QGroupBox> <QHBoxLayout> <QHeaderView> <QLabel> <QLineEdit> <QMenu>
  <QPainter> <QPlainTextEdit> <QPushButton> <QTreeView> <QVBoxLayout> <QWidget>)
set(ZW_PCH_TEST_HEADERS <QtTest> <QTemporaryDir> <QProcess> <QElapsedTimer>)

# zelnor_core and zelnor_gui precompile their own; a target built like one of
# them reuses that. The tests see QtTest as well and get holders of their own:
# a static library of one empty unit each, built only when a test reuses it.
function(zw_pch_holder name)
  set(source ${CMAKE_BINARY_DIR}/pch/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// holds the precompiled header of ${name}\n")
  add_library(${name} STATIC EXCLUDE_FROM_ALL ${source})
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  zw_warnings(${name})
endfunction()

# zw_pch(TARGET KIND): KIND is core or gui (TARGET links zelnor_core or
# zelnor_gui and no further Qt module), test_core or test_gui (a test).
function(zw_pch target kind)
  if(NOT ZW_PCH)
    return()
  endif()
  if(kind STREQUAL "core" OR kind STREQUAL "gui")
    set(holder zelnor_${kind})
  else()
    set(holder zw_pch_${kind})
    if(NOT TARGET ${holder})
      if(kind STREQUAL "test_core")
        zw_pch_holder(${holder} zelnor_core Qt6::Test)
        target_precompile_headers(${holder} PRIVATE ${ZW_PCH_CORE_HEADERS} ${ZW_PCH_TEST_HEADERS})
      else()
        zw_pch_holder(${holder} zelnor_gui Qt6::Test)
        target_precompile_headers(${holder} PRIVATE ${ZW_PCH_GUI_HEADERS} ${ZW_PCH_TEST_HEADERS})
      endif()
    endif()
  endif()
  target_precompile_headers(${target} REUSE_FROM ${holder})
endfunction()
