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
# them reuses that. The tests do not: Qt's test module gives every test folder
# its own QT_TESTCASE_BUILDDIR, which QtTest's headers read, so no header
# holding them could be shared between folders.
# zw_pch(TARGET KIND): KIND is core or gui (TARGET links zelnor_core or
# zelnor_gui and no further Qt module).
function(zw_pch target kind)
  if(ZW_PCH)
    target_precompile_headers(${target} REUSE_FROM zelnor_${kind})
  endif()
endfunction()
