// The columns of the comparison report (and of "zelnorctl show") in all five
// languages: every parameter name with its channel in front, and every text
// that the module's column shows from the packs and from the catalogues of
// the reference database, leaves at least one blank before the next column.
#include "link/image_mapping.h"
#include "link/module_comparison.h"
#include "link/parameter_texts.h"
#include "link/transfer_strings.h"
#include "params/params_test_support.h"
#include "base/language.h"
#include "base/string_table.h"
#include "support/test_support.h"

#include <QtTest>

#include <algorithm>
#include <functional>

namespace {
// Two-channel 7230 types with current and with voltage output and relays, a
// two-channel 7210 type, a 7220 type with output and one without.
const int kTypes[] = {7, 9, 39, 65, 68};

// The numbers whose module text is the user's own (the tags and the
// description): their length is the user's choice.
bool UserText(int number)
{
    return number == 10 || number == 11;
}
} // namespace

class TestReportColumns : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ParamsProject> m_project;
    int m_made = 0;

    CModuleImage imageOf(int typeId)
    {
        LoadedModule module(*m_project, typeId, QStringLiteral("C%1").arg(++m_made));
        CModuleImage image;
        FillFromModule(image, module.parameters(), ParamsProject::familyOfType(typeId));
        return image;
    }

    int rowCount(const QString &table) const
    {
        return table.isEmpty() ? 1 : int(m_project->catalogues().Rows(table).size());
    }

    // Every variant of a channel's configuration whose texts the report can
    // show: each working mode with each sensor type, and each code of the
    // other coded parameters.
    std::vector<std::function<void(ChannelConfiguration &)>> variants(ModuleFamily family) const
    {
        std::vector<std::function<void(ChannelConfiguration &)>> out;
        const FamilyTables &tables = TablesOfFamily(family);
        for (int mode = 0; mode < std::max(rowCount(tables.workingModes), 3); ++mode) {
            for (int sensor = 0; sensor < rowCount(tables.sensorTypes); ++sensor)
                out.push_back([mode, sensor](ChannelConfiguration &c) {
                    c.WorkingModeID = mode;
                    c.SensorTypID = sensor;
                });
        }
        for (int circuit = 0; circuit < rowCount(QStringLiteral("CircuitTypes")); ++circuit)
            out.push_back([circuit](ChannelConfiguration &c) {
                c.WorkingModeID = 0;
                c.TypeOfCircuitID = circuit;
            });
        for (int unit = 0; unit < rowCount(tables.measuredUnits); ++unit)
            out.push_back([unit](ChannelConfiguration &c) {
                c.WorkingModeID = 2;
                c.TCtypeID = 2;
                c.ComparePlaceTemp = -400;
                c.RangeUnitsID = unit;
                c.RangeBegin = -99999;
                c.RangeEnd = 99999;
            });
        for (int type = 0; type < rowCount(QStringLiteral("OutputSignalType")); ++type)
            out.push_back([type](ChannelConfiguration &c) { c.OutputSignalType = type; });
        for (int stop : {0, 1, 8})
            out.push_back([stop](ChannelConfiguration &c) { c.OutputErrorStop = stop; });
        for (int function = 0; function < 4; ++function) {
            for (int state = 0; state < 4; ++state)
                out.push_back([function, state](ChannelConfiguration &c) {
                    c.Relay1LimitValue = c.Relay2LimitValue = function;
                    c.Relay1AgainSettingProtection = c.Relay2AgainSettingProtection = state;
                });
        }
        for (int flag = 0; flag < 2; ++flag)
            out.push_back([flag](ChannelConfiguration &c) {
                c.Ueberlauf = c.Zaehlerignis = c.Impulsausgangaktiv = flag;
            });
        return out;
    }

    // What does not fit its column in the loaded language.
    QStringList overfullTexts()
    {
        QSet<QString> overfull;
        const auto check = [&overfull](const QString &text, int width, const QString &what) {
            if (text.size() >= width)
                overfull << QStringLiteral("%1 \"%2\" (%3 characters)").arg(what, text).arg(text.size());
        };
        check(Str(TransferStrings::HeadingParameter), ModuleComparison::kNameWidth, "heading");
        check(Str(TransferStrings::HeadingModule), ModuleComparison::kModuleWidth, "heading");
        const ImageParameterTexts texts(m_project->catalogues());
        const ModuleComparison comparison(texts);
        for (int typeId : kTypes) {
            const ModuleFamily family = ParamsProject::familyOfType(typeId);
            const CModuleImage base = imageOf(typeId);
            int variant = 0;
            for (const auto &vary : variants(family)) {
                CModuleImage image = base;
                image.DIPSwitch = ++variant % 2;
                vary(image.Channel[0].Config);
                vary(image.Channel[1].Config);
                for (const ParameterDifference &p : comparison.Parameters(image, family)) {
                    check(p.name, ModuleComparison::kNameWidth, "name");
                    if (!UserText(p.number))
                        check(p.moduleText, ModuleComparison::kModuleWidth,
                              QStringLiteral("parameter %1").arg(p.number));
                }
                // The cold junction is printed with the parameters.
                check(texts.GetParameter(image, 16, 1, family).nameText, ModuleComparison::kModuleWidth,
                      "cold junction");
            }
        }
        QStringList sorted(overfull.cbegin(), overfull.cend());
        sorted.sort();
        return sorted;
    }

private slots:
    void initTestCase()
    {
        TestSupport::useBuiltProgramPaths();
        TestSupport::loadEnglish();
        m_project = std::make_unique<ParamsProject>();
    }
    void cleanupTestCase() { TestSupport::loadEnglish(); }

    void everyTextFitsItsColumn_data()
    {
        QTest::addColumn<int>("language");
        for (int index = 1; index <= Language::kCount; ++index)
            QTest::newRow(qPrintable(Language::packFileName(index))) << index;
    }

    void everyTextFitsItsColumn()
    {
        QFETCH(int, language);
        QVERIFY(Language::load(language));
        const QStringList overfull = overfullTexts();
        QVERIFY2(overfull.isEmpty(), qPrintable(overfull.join(QLatin1Char('\n'))));
    }

    // A text longer than its column all the same keeps a blank before the
    // next one, so that a value cannot read as part of the name before it.
    void overfullColumnsKeepOneBlank()
    {
        const QString name(45, QLatin1Char('n'));
        const QString module(50, QLatin1Char('m'));
        QCOMPARE(ModuleComparison::ReportLine(name, "1.00 %", "2.00 %"),
                 name + " 1.00 %" + QString(80 - 52, ' ') + "2.00 %\n");
        QCOMPARE(ModuleComparison::ReportLine("Channel 1: x", module, "b"),
                 "Channel 1: x" + QString(28, ' ') + module + " b\n");
        // Exactly full columns too.
        const QString full(40, QLatin1Char('f'));
        QCOMPARE(ModuleComparison::ReportLine(full, full, "b"), full + " " + full + " b\n");
        // Texts that fit start at 40 and 80 as before.
        const QString line = ModuleComparison::ReportLine(QString(39, 'n'), QString(39, 'm'), "b");
        QCOMPARE(line.indexOf('m'), 40);
        QCOMPARE(line.indexOf('b'), 80);
    }
};

QTEST_GUILESS_MAIN(TestReportColumns)
#include "test_report_columns.moc"
