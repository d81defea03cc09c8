#pragma once

#include "link/link_controller.h"
#include "log/output_log.h"
#include "support/test_support.h"
#include "tools/simulator/module_simulator.h"

#include <QDateTime>
#include <QPair>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The project side as far as the link sees it: records what it was asked.
struct RecordingHooks : LinkProjectHooks {
    QStringList calls;
    QStringList connectedTags;
    QString moduleName = QStringLiteral("Module A");
    int silentComparisons = 0;

    void findConnectedModule(const CModuleImage &image) override
    {
        calls << "find " + image.SerialNr;
        connectedTags << image.Channel[0].Name;
    }
    void compareConnectedModule(const CModuleImage &image) override { calls << "compare " + image.SerialNr; }
    void leaveOnlineMode() override { calls << QStringLiteral("offline"); }
    void runSilentComparison() override { ++silentComparisons; }
    void takeOverUpload(const CModuleImage &image) override { calls << "upload " + image.SerialNr; }
    QString openModuleName() const override { return moduleName; }
    void reportAction(ActionCode action, LinkResult, const ActionReply &) override
    {
        calls << QStringLiteral("action %1").arg(static_cast<int>(action));
    }
};

// A link against a simulated module on a real pseudo-terminal, with its log.
class LinkCycleHarness {
public:
    explicit LinkCycleHarness(SimulatorOptions options = {}) : simulator(options)
    {
        TestSupport::loadEnglish();
        log = std::make_unique<OutputLog>(logDir.path(), QDateTime::currentDateTime());
        log->makeActive();
        QObject::connect(log.get(), &OutputLog::textAdded, [this](const QString &text) {
            // Without the time stamp: "yyyy-MM-dd HH:mm:ss   ". Texts
            // without one (reports) are not log lines.
            static const QRegularExpression stamped(
                QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d   "));
            if (stamped.match(text).hasMatch())
                lines << text.mid(22).chopped(1);
        });
        controller.handler().setProjectHooks(&hooks);
        QObject::connect(&controller, &LinkController::noticeHandled,
                         [this](int kind, int argument) { notices << qMakePair(kind, argument); });
    }

    ~LinkCycleHarness()
    {
        controller.StopLink();
        simulator.stop();
    }

    bool startSimulator()
    {
        QString error;
        if (!simulator.start(&error)) {
            qWarning() << error;
            return false;
        }
        return true;
    }

    bool start(const QString &port)
    {
        controller.setPortOverride(port);
        controller.setProjectOpen(true);
        return controller.StartLink();
    }

    // Starts the simulator and the link and waits until the module is online.
    bool startOnline()
    {
        if (!startSimulator() || !start(simulator.devicePath()))
            return false;
        return waitForNotice(2, 1, 10000);
    }

    bool waitForNotice(int kind, int argument, int timeoutMs, qsizetype from = 0)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (notices.indexOf(qMakePair(kind, argument), from) >= 0)
                return true;
            QTest::qWait(10);
        }
        return notices.indexOf(qMakePair(kind, argument), from) >= 0;
    }

    // The traffic from entry from on, writes only or everything.
    QStringList trafficFrom(qsizetype from) const { return simulator.traffic().mid(from); }

    QList<QPair<int, int>> connectionChangesFrom(qsizetype from) const
    {
        QList<QPair<int, int>> changes;
        for (qsizetype i = from; i < notices.size(); ++i)
            if (notices[i].first == 2 && notices[i].second != 0)
                changes << notices[i];
        return changes;
    }

    // The notices from entry from on, without the periodic refresh.
    QList<QPair<int, int>> noticesWithoutRefreshFrom(qsizetype from) const
    {
        QList<QPair<int, int>> kept;
        for (qsizetype i = from; i < notices.size(); ++i)
            if (notices[i] != qMakePair(2, 0))
                kept << notices[i];
        return kept;
    }

    int linesContaining(const QString &text) const
    {
        int count = 0;
        for (const QString &line : lines)
            count += line.contains(text) ? 1 : 0;
        return count;
    }

    QTemporaryDir logDir;
    std::unique_ptr<OutputLog> log;
    QStringList lines;
    ModuleSimulator simulator;
    RecordingHooks hooks;
    LinkController controller;
    QList<QPair<int, int>> notices;
};

using Notice = QPair<int, int>;
