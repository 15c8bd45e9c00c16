// The real program, started as the management system starts it: offscreen,
// with trace on and every box answered by KSR4710_DIALOGS=auto.
#include "TempFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>

namespace {

class ModuleProcess : public ::testing::Test {
protected:
    std::unique_ptr<QProcess> start(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KSR4710_TRACE", "1");
        env.insert("KSR4710_DIALOGS", "auto");
        env.insert("APPDATA", QString::fromStdString(folder.path()));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder.path()));
        env.insert("VANTREL_REGISTRY", QString::fromStdString(folder.file("registry.ini")));
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(QString::fromStdString(folder.path()));
        process->start(KSR_MODULE_PATH, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // Runs to the end; returns the exit code, and standard error in `trace`.
    int run(const QStringList& arguments, QString& trace)
    {
        auto process = start(arguments);
        EXPECT_TRUE(process->waitForFinished(15000)) << "still running";
        trace = QString::fromLocal8Bit(process->readAllStandardError());
        return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    }

    // Waits until the trace shows `text`; the trace read so far in `trace`.
    static bool waitForTrace(QProcess& process, const QString& text, QString& trace)
    {
        for (int i = 0; i < 150 && !trace.contains(text); ++i) {
            process.waitForReadyRead(100);
            trace += QString::fromLocal8Bit(process.readAllStandardError());
            if (process.state() == QProcess::NotRunning)
                break;
        }
        return trace.contains(text);
    }

    static void stop(QProcess& process)
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }

    TempFolder folder;
};

}  // namespace

TEST_F(ModuleProcess, WithoutArgumentsShowsAndTracesTheMessageAndEnds)
{
    QString trace;
    EXPECT_EQ(run({}, trace), 2);
    const QRegularExpression line(
        "^\\d\\d:\\d\\d:\\d\\d message box \\[KSR4710Module\\] "
        "This module is only used in the Vistrum or HP-Openview\\.$",
        QRegularExpression::MultilineOption);
    EXPECT_TRUE(line.match(trace).hasMatch()) << trace.toStdString();
}

TEST_F(ModuleProcess, BootCounterStartsAtOneAndCountsEveryStart)
{
    QString trace;
    run({}, trace);
    EXPECT_EQ(readAll(folder.file("VtSNMP_PP_BootCounter")), "VtSNMP_PP_Application 1\n");
    run({}, trace);
    EXPECT_EQ(readAll(folder.file("VtSNMP_PP_BootCounter")), "VtSNMP_PP_Application 2\n");
}

TEST_F(ModuleProcess, ASecondModuleForTheSameAddressIsRefusedAnotherAddressStarts)
{
    QString firstTrace;
    auto first = start({"/I127.0.0.21"});
    ASSERT_TRUE(waitForTrace(*first, "start-up complete: KSR-4710 : 127.0.0.21", firstTrace))
        << firstTrace.toStdString();

    QString secondTrace;
    EXPECT_EQ(run({"/I127.0.0.21"}, secondTrace), 3);
    EXPECT_TRUE(secondTrace.contains("message box [Warning] SNMP Timeout or another KSR-4710 module is running!"))
        << secondTrace.toStdString();
    EXPECT_FALSE(secondTrace.contains("start-up complete"));

    QString otherTrace;
    auto other = start({"/I127.0.0.22"});
    EXPECT_TRUE(waitForTrace(*other, "start-up complete: KSR-4710 : 127.0.0.22", otherTrace))
        << otherTrace.toStdString();
    EXPECT_FALSE(otherTrace.contains("message box"));

    stop(*first);
    stop(*other);

    // The kernel released the lock with the process.
    auto again = start({"/I127.0.0.21"});
    QString againTrace;
    EXPECT_TRUE(waitForTrace(*again, "start-up complete", againTrace)) << againTrace.toStdString();
    stop(*again);
}

TEST_F(ModuleProcess, ABadSwitchValueEndsWithAnErrorBoxAndANonZeroCode)
{
    QString trace;
    EXPECT_EQ(run({"/I127.0.0.23", "/vthree"}, trace), 1);
    EXPECT_TRUE(trace.contains("message box [Error] \"three\" is not a valid integer value for the switch \"/v\""))
        << trace.toStdString();
    EXPECT_FALSE(trace.contains("start-up complete"));
}
