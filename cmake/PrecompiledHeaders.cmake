# Precompiled Qt headers. Parsing Qt's headers is most of what compiling one
# of our units costs, so each kind of unit shares one precompiled header:
# the units that see the core Qt modules (zelnor_core and everything linking
# only it) and those that see the widgets too. A precompiled header can only
# be shared between targets compiled with the same flags and Qt module
# definitions (gcc refuses it otherwise, and -Winvalid-pch with -Werror turns
# that into an error).

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

# zelnor_core and zelnor_gui precompile their own; a target built like one of
# them reuses that.
# zw_pch(TARGET KIND): KIND is core or gui (TARGET links zelnor_core or
# zelnor_gui and no further Qt module).
function(zw_pch target kind)
  if(ZW_PCH)
    target_precompile_headers(${target} REUSE_FROM zelnor_${kind})
  endif()
endfunction()

# The tests share one precompiled header of each kind with QtTest in it. Qt's
# test module defines QT_TESTCASE_BUILDDIR and QT_TESTCASE_SOURCEDIR per
# folder and its headers test them, so gcc would refuse a header made in
# another folder; no test looks for data beside its sources, so the tests
# undefine both.
set(ZW_PCH_TEST_HEADERS <QSignalSpy> <QTemporaryDir> <QtTest>)
function(zw_test_flags target)
  target_compile_options(${target} PRIVATE -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)
endfunction()

# zw_test_pch_holders(): the two targets that make the tests' headers.
function(zw_test_pch_holders)
  if(NOT ZW_PCH)
    return()
  endif()
  set(anchor ${CMAKE_CURRENT_BINARY_DIR}/test_pch_anchor.cpp)
  file(WRITE ${anchor} "// Only here so that the precompiled header has a target to belong to.\n")
  foreach(kind core gui)
    string(TOUPPER ${kind} KIND)
    add_library(zw_test_pch_${kind} OBJECT ${anchor})
    target_link_libraries(zw_test_pch_${kind} PRIVATE zelnor_${kind} Qt6::Test)
    zw_warnings(zw_test_pch_${kind})
    zw_test_flags(zw_test_pch_${kind})
    target_precompile_headers(zw_test_pch_${kind} PRIVATE ${ZW_PCH_${KIND}_HEADERS} ${ZW_PCH_TEST_HEADERS})
  endforeach()
endfunction()

# zw_test_pch(TARGET KIND): a test program or test library reuses the tests'
# header of its kind.
function(zw_test_pch target kind)
  zw_test_flags(${target})
  if(ZW_PCH)
    target_precompile_headers(${target} REUSE_FROM zw_test_pch_${kind})
  endif()
endfunction()
