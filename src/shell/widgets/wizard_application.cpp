#include "shell/widgets/wizard_application.h"

#include "db/widgets/oledb_errors_dialog.h"
#include "db/widgets/project_file_dialog_presenter.h"
#include "base/message_service.h"
#include "shell/project_session.h"
#include "shell/startup.h"
#include "base/shell_strings.h"
#include "base/string_table.h"
#include "log/product_info.h"
#include "shell/widgets/main_frame.h"
#include "shell/widgets/message_box_presenter.h"
#include "shell/widgets/shell_dialogs.h"
#include "shell/widgets/splash_window.h"
#include "tree/widgets/drop_menu.h"
#include "tree/widgets/module_dialog.h"
#include "tree/widgets/multiply_dialog.h"
#include "tree/widgets/progress_window.h"
#include "tree/widgets/system_clipboard.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFontMetrics>
#include <QPointer>
#include <QTimer>

#include <iostream>
#include <memory>

namespace {
constexpr int kSplashWaitMs = 1500;

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The dialogs every Part shows go over the main window once it exists.
void InstallPresenters(QWidget *owner)
{
    MessageBoxPresenter::install(owner);
    ProjectFileDialogPresenter::install(owner);
    ModuleDialog::install(owner);
    CMultiplyDlg::install(owner);
    COLEDBErrorsDialog::install(owner);
    // While the progress window lets messages through, the frame takes no
    // command.
    QPointer<QWidget> guarded(owner);
    ProgressWindow::install(owner, [guarded](bool busy) {
        if (auto *frame = qobject_cast<CMainFrame *>(guarded.data()))
            frame->SetBusy(busy);
    });
    DropMenu::install(owner);
}

// --help and --version answer on standard output without a window, so that
// they work without a display and the manual page can be made from them.
// Returns -1 when the program is to start.
int AnswerWithoutWindow(int argc, char **argv)
{
    const QCoreApplication app(argc, argv);
    StringTable::instance().loadBuiltin();
    const CommandLineOptions options = CommandLineOptions::Parse(QCoreApplication::arguments());
    if (!options.error.isEmpty() || !(options.help || options.version))
        return -1;
    if (options.version)
        std::cout << "zelnor-wizard " << ProductInfo::kVersion << std::endl;
    else
        std::cout << Str(ShellStrings::Usage).toStdString() << "\n\n"
                  << Str(ShellStrings::UsageOptions).toStdString() << std::endl;
    return 0;
}
} // namespace

int RunZelnorWizard(int argc, char **argv)
{
    if (const int answered = AnswerWithoutWindow(argc, argv); answered >= 0)
        return answered;
    QApplication app(argc, argv);
    // The desktop finds the menu entry and icon of the window by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.zelnor.wizard"));
    QApplication::setOrganizationName(QStringLiteral("ZelnorWizard"));
    QApplication::setApplicationName(QStringLiteral("ZelnorWizard"));
    StringTable::instance().loadBuiltin();
    InstallPresenters(nullptr);
    // The desktop's clipboard for copied items, while the application lives.
    ClipboardService::setPort(std::make_shared<SystemClipboard>());
    struct ClipboardGoes {
        ~ClipboardGoes() { ClipboardService::setPort(nullptr); }
    } clipboardGoes;

    const CommandLineOptions options = CommandLineOptions::Parse(QApplication::arguments());
    if (!options.error.isEmpty()) {
        std::cerr << options.error.toStdString() << std::endl;
        return 2;
    }
    AppSettings settings(QFontMetrics(QApplication::font()).averageCharWidth());
    ProjectSession session;
    if (!options.port.isEmpty())
        session.SetPortForThisRun(options.port);

    std::unique_ptr<CMainFrame> frame;
    QPointer<SplashWindow> splash;
    const auto ensureFrame = [&] {
        if (!frame) {
            frame = std::make_unique<CMainFrame>(session, settings);
            InstallPresenters(frame.get());
        }
    };
    StartupSequence::Steps steps;
    steps.askPassword = [] { return LoginDialog::Ask(); };
    steps.showSplash = [&] {
        splash = SplashWindow::ShowFromPack();
        if (splash)
            Wait(kSplashWaitMs);
    };
    steps.openDocument = [&](const QString &path) {
        ensureFrame();
        return session.Commands().OnOpenDocument(QDir::current().absoluteFilePath(path));
    };
    steps.newDocument = [&] {
        ensureFrame();
        session.Commands().OnNewDocument();
    };
    steps.showMainWindow = [&] {
        frame->show();
        if (splash)
            splash->raise();
    };
    steps.startLink = [&] { session.Document().StartLink(); };

    if (!StartupSequence::Run(options, settings, steps))
        return 1;
    const int code = QApplication::exec();
    StartupSequence::Exit(settings);
    InstallPresenters(nullptr);
    frame.reset();
    return code;
}
