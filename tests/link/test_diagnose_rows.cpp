// The Diagnose page's rows and cells of the connected image, read with the
// catalogues of a real project copied from the reference database.
#include "link/adjust_actions.h"
#include "link/diagnose_rows.h"
#include "link/image_mapping.h"
#include "link/module_image.h"
#include "link/parameter_texts.h"
#include "params/params_test_support.h"
#include "support/test_support.h"

#include <QtTest>

Q_DECLARE_METATYPE(ModuleFamily)

namespace {
constexpr int kTwoChannelCurrent = 7; // 7230 with current output and relays
constexpr int kOneChannel = 1;        // 7230, one channel

// The cell of the row labelled label for a channel; a null string when the
// family has no such row.
QString CellOf(const DiagnoseContent &content, const QString &label, int channel)
{
    for (const DiagnoseRow &row : content.rows)
        if (row.label == label)
            return row.cells[size_t(channel - 1)];
    return QStringLiteral("<no row>");
}

CModuleImage TwoChannelImage()
{
    CModuleImage image;
    image.Channels = 1;
    image.LimitValue = 1;
    image.OutputSignal = 1;
    image.Channel[0].Name = QStringLiteral("TI-101");
    image.Channel[1].Name = QStringLiteral("TI-102");
    return image;
}
} // namespace

class TestDiagnoseRows : public QObject {
    Q_OBJECT

    std::unique_ptr<ParamsProject> m_project;

    DiagnoseContent build(const CModuleImage &image, ModuleFamily family) const
    {
        const ImageParameterTexts texts(m_project->catalogues());
        return DiagnoseRows(texts).Build(image, family);
    }

private slots:
    void initTestCase()
    {
        TestSupport::loadEnglish();
        m_project = std::make_unique<ParamsProject>();
    }

    void rowsFollowTheFamily_data()
    {
        QTest::addColumn<ModuleFamily>("family");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("row4");
        QTest::addColumn<QString>("last");
        QTest::newRow("7230") << Family7230 << 22 << "Temperature comparison area" << "Dip Switch";
        QTest::newRow("7210") << Family7210 << 18 << "Output signal value" << "Dip Switch";
        QTest::newRow("7220") << Family7220 << 15 << "Input short circuit" << "Dip Switch";
    }
    void rowsFollowTheFamily()
    {
        QFETCH(ModuleFamily, family);
        QFETCH(int, count);
        QFETCH(QString, row4);
        QFETCH(QString, last);
        const DiagnoseContent content = build(TwoChannelImage(), family);
        QCOMPARE(int(content.rows.size()), count);
        QCOMPARE(content.rows[0].label, QStringLiteral("Signal-Tag"));
        QCOMPARE(content.rows[4].label, row4);
        QCOMPARE(content.rows.back().label, last);
        QCOMPARE(content.rows[0].cells[1], QStringLiteral("TI-102"));
    }

    void measuredValueFollowsTheUnit_data()
    {
        QTest::addColumn<ModuleFamily>("family");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("7230 degrees C") << Family7230 << 0 << 1234 << "123.4 °C";
        QTest::newRow("7230 mV") << Family7230 << 3 << -12345 << "-12.345 mV";
        QTest::newRow("7230 Ohm") << Family7230 << 4 << 10050 << "100.50 Ohm";
        QTest::newRow("7230 unknown code") << Family7230 << 9 << 10050 << "";
        QTest::newRow("7210 pulses cut") << Family7210 << 0 << 77 << "77 Pulses";
        QTest::newRow("7210 Hz") << Family7210 << 1 << 12345 << "12.345 Hz";
        QTest::newRow("7220 mA") << Family7220 << 0 << 12345 << "12.345 mA";
    }
    void measuredValueFollowsTheUnit()
    {
        QFETCH(ModuleFamily, family);
        QFETCH(int, unit);
        QFETCH(int, raw);
        QFETCH(QString, text);
        CModuleImage image = TwoChannelImage();
        image.Channel[0].Config.RangeUnitsID = unit;
        image.Channel[0].Live.MeasuredValue = raw;
        const DiagnoseContent content = build(image, family);
        QCOMPARE(CellOf(content, "Measured value", 1), text);
        QCOMPARE(CellOf(content, "Module error", 1), QStringLiteral("Module active"));
    }

    void moduleErrorEmptiesTheMeasuredValue()
    {
        CModuleImage image = TwoChannelImage();
        image.Channel[0].Live.MeasuredValue = 1234;
        image.Channel[0].Live.ModuleError = 1;
        const DiagnoseContent content = build(image, Family7230);
        QCOMPARE(CellOf(content, "Module error", 1), QStringLiteral("Module error"));
        QCOMPARE(CellOf(content, "Measured value", 1), QString());
        QCOMPARE(CellOf(content, "Measured value", 2), QStringLiteral("0.0 °C"));
    }

    void comparisonCellsOnlyInWorkingMode2_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("tcType");
        QTest::newRow("mode 2 Fahrenheit") << 2 << 1 << "23.5 °F" << "Internal cold junction";
        QTest::newRow("mode 2 mV takes Celsius") << 2 << 3 << "23.5 °C" << "Internal cold junction";
        QTest::newRow("mode 0") << 0 << 1 << "" << "";
    }
    void comparisonCellsOnlyInWorkingMode2()
    {
        QFETCH(int, mode);
        QFETCH(int, unit);
        QFETCH(QString, area);
        QFETCH(QString, tcType);
        CModuleImage image = TwoChannelImage();
        image.Channel[0].Config.WorkingModeID = mode;
        image.Channel[0].Config.RangeUnitsID = unit;
        image.Channel[0].Config.TCtypeID = 1;
        image.Channel[0].Live.ComparisonTemp = 235;
        const DiagnoseContent content = build(image, Family7230);
        QCOMPARE(CellOf(content, "Temperature comparison area", 1), area);
        QCOMPARE(CellOf(content, "TC Type", 1), tcType);
    }

    void stateCells_data()
    {
        QTest::addColumn<ModuleFamily>("family");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("whenSet");
        QTest::addColumn<QString>("whenClear");
        QTest::newRow("relay on") << Family7230 << "Relay state 1" << "Relay ON" << "Relay OFF";
        QTest::newRow("locked") << Family7210 << "Relay 2 locked" << "Reactivation" << "";
        QTest::newRow("overrun") << Family7230 << "Range overrun" << "Active" << "";
        QTest::newRow("input short") << Family7220 << "Input short circuit" << "Active" << "";
        QTest::newRow("negative") << Family7230 << "Input negative overload" << "Negative input overload" << "";
        QTest::newRow("channel error") << Family7210 << "Error signalling" << "Channel error" << "";
        QTest::newRow("suppression") << Family7220 << "Error suppression" << "Error suppression" << "";
        QTest::newRow("error relay") << Family7230 << "Error signalling relay" << "Relay error active"
                                     << "Relay error noactive";
    }
    void stateCells()
    {
        QFETCH(ModuleFamily, family);
        QFETCH(QString, label);
        QFETCH(QString, whenSet);
        QFETCH(QString, whenClear);
        CModuleImage image = TwoChannelImage();
        QCOMPARE(CellOf(build(image, family), label, 1), whenClear);
        ChannelLiveValues &live = image.Channel[0].Live;
        live.Relay1On = live.Relay2Locked = live.RangeOverrun = live.SensorShortCircuit = 1;
        live.NegativeOverload = live.ChannelError = live.ErrorSuppression = live.ErrorRelayActive = 1;
        const DiagnoseContent content = build(image, family);
        QCOMPARE(CellOf(content, label, 1), whenSet);
        QCOMPARE(CellOf(content, label, 2), whenClear);
    }

    void outputCells()
    {
        CModuleImage image = TwoChannelImage();
        image.Channel[0].Live.OutputValue = 12000;
        QCOMPARE(CellOf(build(image, Family7230), "Output signal value", 1), QStringLiteral("12.000 mA"));
        image.OutputSignal = 2;
        QCOMPARE(CellOf(build(image, Family7230), "Output signal value", 1), QStringLiteral("3.000 V"));
        image.OutputSignal = 0;
        QCOMPARE(CellOf(build(image, Family7230), "Output signal value", 1), QString());
        // Relay states need the relays.
        image.LimitValue = 0;
        QCOMPARE(CellOf(build(image, Family7230), "Relay state 1", 1), QString());
    }

    void outputFrequencyNeedsTheActiveImpulseOutput()
    {
        CModuleImage image = TwoChannelImage();
        image.HaveImpulseOutput = 1;
        image.Channel[0].Config.Impulsausgangaktiv = 1;
        image.Channel[0].Config.WorkingModeID = 1;
        image.Channel[0].Live.OutputFrequency = 2500;
        QCOMPARE(CellOf(build(image, Family7210), "Output frequency", 1), QStringLiteral("2.500 Hz"));
        image.Channel[0].Config.WorkingModeID = 0;
        QCOMPARE(CellOf(build(image, Family7210), "Output frequency", 1), QStringLiteral("inactive"));
    }

    void oneChannelModuleLeavesChannel2Empty()
    {
        LoadedModule module(*m_project, kOneChannel, QStringLiteral("ONE"));
        CModuleImage image;
        FillFromModule(image, module.parameters(), Family7230);
        image.Channel[1].Name = QStringLiteral("stale");
        const DiagnoseContent content = build(image, Family7230);
        for (const DiagnoseRow &row : content.rows)
            QVERIFY2(row.cells[1].isEmpty(), qPrintable(row.label));
        QVERIFY(!CellOf(content, "Dip Switch", 1).isEmpty());
        const AdjustActions::Page page = AdjustActions::PageFor(image, Family7230);
        QVERIFY(!page.channelAction[1].enabled);
        QVERIFY(!page.resetLimitValue[1].enabled);
    }

    void headerNamesTheModule()
    {
        LoadedModule module(*m_project, kTwoChannelCurrent, QStringLiteral("HD"));
        CModuleImage image;
        FillFromModule(image, module.parameters(), Family7230);
        image.Revision = QStringLiteral("1.02");
        image.SerialNr = QStringLiteral("SN4711");
        image.LastProgramming = QStringLiteral("09.12.2026");
        const DiagnoseHeader header = build(image, Family7230).header;
        QVERIFY(!header.moduleType.isEmpty());
        QCOMPARE(header.revision, QStringLiteral("1.02"));
        QCOMPARE(header.serialNumber, QStringLiteral("SN4711"));
        QCOMPARE(header.date, QStringLiteral("09.12.2026"));
        QCOMPARE(DiagnoseRows::ColumnTitles()[2], QStringLiteral("Channel 2"));
    }
};

QTEST_GUILESS_MAIN(TestDiagnoseRows)
#include "test_diagnose_rows.moc"
