#include "Main.h"

#include "DeviceLock.h"
#include "LedLamp.h"
#include "MainMenu.h"
#include "Dialogs.h"
#include "Paths.h"
#include "SnmpEventProcessor.h"
#include "Startup.h"
#include "Trace.h"
#include "VtError.h"
#include "VtMessages.h"
#include "VtRequest.h"
#include "VtSNMPRequest2Edits.h"
#include "VtSession.h"
#include "Wait.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

constexpr int kClientWidth = 318;
constexpr int kPictureHeight = 439;
constexpr int kStatusBarHeight = 19;

TMainForm* g_mainForm = nullptr;

std::vector<std::string> toStd(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

}  // namespace

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("KSR-4710"));
    g_mainForm = this;

    // The timers run from the window's creation; the refusals stop them.
    const auto makeTimer = [this](const char* name, int interval) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        timer->start();
        return timer;
    };
    LedStatus = makeTimer("LedStatus", 2000);
    LedBlink = makeTimer("LedBlink", 500);
    Timer1 = makeTimer("Timer1", 2000);
    connect(LedStatus, &QTimer::timeout, this, &TMainForm::LedStatusTimer);
    connect(LedBlink, &QTimer::timeout, this, &TMainForm::LedBlinkTimer);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    // Messages are needed even when no module folder is registered: the
    // first load is from beside the program.
    if (const std::string folder = ksr::messageFolder(ksr::executableFolder(), "errMSg"); !folder.empty())
        VtLoadMessageTables(folder);

    FormCreate(arguments);
}

TMainForm::~TMainForm()
{
    // Requests wait for their outstanding answers when destroyed, letting
    // events run: end them while the window is still whole, with its timers
    // stopped so that nothing new is sent meanwhile.
    StopTimers();
    statusRequest_.reset();
    for (VtSNMPRequest2Edits** request :
         {&addressRequest_, &interfaceRequest_, &commitRequest_, &ledRequest_, &apModeRequest_})
        delete std::exchange(*request, nullptr);
    TFM_Waiting::setAnswerLamp(nullptr);
    if (g_mainForm == this)
        g_mainForm = nullptr;
}

TMainForm* TMainForm::instance()
{
    return g_mainForm;
}

int TMainForm::exitCode() const
{
    switch (startup_) {
    case Startup::Started: return 0;
    case Startup::NoArguments: return 2;
    case Startup::AlreadyRunning: return 3;
    case Startup::Failed: return 1;
    }
    return 1;
}

void TMainForm::FormCreate(const QStringList& arguments)
{
    LayoutWindow();
    if (!StartSession())
        return;
    LoadModuleMessages();
    profileFolder_ = QString::fromStdString(ksr::profileFolder());
    if (!ReadCommandLine(arguments))
        return;
    if (!GuardDevice())
        return;
    // Steps 7 and 8 talk to the device; they run as the window's first
    // event, so that the window is on screen (and a caller that only builds
    // it is not held up) while the blocking start-up reads wait out a silent
    // device.
    QTimer::singleShot(0, this, [this] {
        StartStatusPoll();
        ReadStartupValues();
    });
    CreateLogFolder();
    startup_ = Startup::Started;
    ksr::trace("start-up complete: %s", qPrintable(windowTitle()));
}

void TMainForm::LayoutWindow()
{
    // The picture area (318 x 439) above the 19-pixel status bar.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("FrontPanel"));
    panel->setFixedSize(kClientWidth, kPictureHeight);
    setCentralWidget(panel);
    BuildFrontPanel();
    BuildHolders();
    BuildMenu();

    MainStatusBar = new QStatusBar(this);
    MainStatusBar->setObjectName(QStringLiteral("MainStatusBar"));
    MainStatusBar->setFixedHeight(kStatusBarHeight);
    MainStatusBar->setSizeGripEnabled(false);
    setStatusBar(MainStatusBar);
    connect(MainStatusBar, &QStatusBar::messageChanged, this,
            [](const QString& text) { ksr::trace("status line: %s", qPrintable(text)); });

    const int menuHeight = menuWidget() ? menuWidget()->sizeHint().height() : 0;
    setFixedSize(kClientWidth, menuHeight + kPictureHeight + kStatusBarHeight);
    CentreOnDesktop();
}

void TMainForm::CentreOnDesktop()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool TMainForm::StartSession()
{
    try {
        // An empty folder: the boot-counter file lives in the current folder.
        VtStartSNMP("");
        SnmpEventProcessor::start();
    } catch (const VtException& e) {
        Refuse(Startup::Failed, QString::fromStdString(e.what()), QStringLiteral("Error"));
        return false;
    }
    return true;
}

void TMainForm::LoadModuleMessages()
{
    if (const std::string folder = ksr::messageFolder(ksr::moduleFolder(), "errmsg"); !folder.empty())
        VtLoadMessageTables(folder);
}

bool TMainForm::ReadCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty()) {
        Refuse(Startup::NoArguments, QStringLiteral("This module is only used in the Vistrum or HP-Openview."));
        return false;
    }
    // Worked on a copy: a bad number leaves the session records untouched.
    ksr::SessionRecords records = ksr::SessionRecords::fromGlobals();
    ksr::CommandLine commandLine(records, profileFolder_.toStdString());
    try {
        commandLine.apply(toStd(arguments));
    } catch (const ksr::ConversionError& e) {
        Refuse(Startup::Failed, QString::fromStdString(e.what()), QStringLiteral("Error"));
        return false;
    }
    records.storeToGlobals();
    addressText_ = QString::fromStdString(commandLine.addressText());
    return true;
}

bool TMainForm::GuardDevice()
{
    setWindowTitle(QString::fromStdString(ksr::mainCaption(addressText_.toStdString())));
    deviceLock_ = ksr::DeviceLock::acquire(windowTitle().toStdString());
    if (!deviceLock_) {
        Refuse(Startup::AlreadyRunning, QStringLiteral("SNMP Timeout or another KSR-4710 module is running!"),
               QStringLiteral("Warning"));
        close();
        return false;
    }
    return true;
}

void TMainForm::CreateLogFolder()
{
    const std::string path = ksr::logFolderPath();
    logFolder_ = QString::fromStdString(path);
    if (!ksr::createLogFolder(path))
        Dialogs::message(this, QString::fromStdString(ksr::logFolderMessage(path)));
}

void TMainForm::StopTimers()
{
    LedStatus->stop();
    LedBlink->stop();
    Timer1->stop();
}

void TMainForm::Refuse(Startup why, const QString& text, const QString& caption)
{
    StopTimers();
    startup_ = why;
    if (caption.isEmpty())
        Dialogs::message(this, text);
    else
        Dialogs::messageBox(this, text, caption);
}

void TMainForm::SetStatusText(const QString& text)
{
    MainStatusBar->showMessage(text);
}

QString TMainForm::statusText() const
{
    return MainStatusBar->currentMessage();
}
