#include "print_test_support.h"

#include "print/print_strings.h"
#include "print/report_data.h"
#include "base/language.h"
#include "base/string_table.h"
#include "base/settings.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <unistd.h>

namespace {
// Written as the print command writes a report the user named: an earlier
// file is replaced.
bool WrittenPdf(CProjectReport &report, const QString &path, QPageLayout::Orientation orientation)
{
    return WriteReportPdf(report, OutputFile::Target{path, OutputFile::Content::Pdf, true, {}}, orientation).isEmpty();
}
} // namespace

namespace {
QByteArray ToolTestChecksum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray("missing");
}
} // namespace

// The three reports written as real PDF files and read back with poppler:
// the title block and page count of every page, where sections begin, which
// sections a module's report has, and the commands that start them.
class TestPrintReports : public QObject {
    Q_OBJECT
private slots:
    void init();
    void everyPageCarriesTheTitleBlockWithItsNumber();
    void aSectionThatDoesNotFitBeginsAtTheTopOfTheNextPage();
    void aLongDescriptionWrapsInsteadOfRunningOff();
    void moduleDetailsFollowTheModuleTables();
    void moduleInformationListsTheSectionsOfItsFamily();
    void theModulePositionAndItsValuesAreShown();
    void moduleInformationPrintsTheNumbersAsThePagesShowThem();
    void theDataCardKeepsToItsCardAndToThePagesOfItsModule();
    void theDataCardKeepsEveryValueLegible_data();
    void theDataCardKeepsEveryValueLegible();
    void theCommandsFollowTheSelectedItem();
    void theFrameAndTheTitleBlockAreDrawnWhereTheyBelong();
    void aPdfThatCannotBeWrittenLeavesNothing();
    void theOutlineNamesTheProjectAsTheTreeDoes();

private:
    QString pdfPath(const QString &name) const { return m_dir.filePath(name); }
    // Within the data card of 85 x 80 mm at the top left of the printable
    // area (5 mm into the paper), or a card that continues it: 5 mm below it,
    // then 5 mm beside those two, so that every card stays on the sheet.
    static bool OnACard(const PdfTools::Word &word)
    {
        const auto points = [](double mm) { return mm / 25.4 * 72; };
        const double column = std::floor((word.xMin - points(5)) / points(90));
        const double row = std::floor((word.yMin - points(5)) / points(85));
        return column >= 0 && row >= 0 && row < 2 && word.xMax < points(5 + 90 * column + 85) &&
               word.yMax < points(5 + 85 * row + 80);
    }
    QTemporaryDir m_dir;
};

void TestPrintReports::init()
{
    TestSupport::loadEnglish();
    QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
              QString::fromLatin1(SettingsSection::kApplication))
        .remove(QStringLiteral("Printer"));
}

void TestPrintReports::everyPageCarriesTheTitleBlockWithItsNumber()
{
    ReportProject project;
    project.generate(20, 120);
    project.exec(
        "UPDATE ProjectsRoot SET Company = 'Acme Chemicals', OrderNr = 'J-4711', CreatedBy = 'K. Berg', "
        "DucumentName = 'Loop list', TestingBy = 'S. Ortiz', DocumentNr = 'D-0815', RevisionNr = 'B'");
    project.openWithCatalogues();
    const auto report = project.report(PrintMode::ProjectOutput);
    const QString pdf = pdfPath("project.pdf");
    QVERIFY(WrittenPdf(*report, pdf, QPageLayout::Landscape));
    const int pages = PdfTools::Pages(pdf);
    QVERIFY2(pages >= 5, qPrintable(QString::number(pages)));
    QCOMPARE(report->PageCount(), pages);
    for (int page = 1; page <= pages; ++page) {
        const QString text = PdfTools::Text(pdf, page);
        QVERIFY2(text.contains(QStringLiteral("Page: %1 of %2").arg(page).arg(pages)), qPrintable(text));
        // Two blanks before the count, as the title block writes it: the gap
        // before it is twice the one after "Page:".
        const std::vector<PdfTools::Word> words = PdfTools::Words(pdf, page);
        const auto at =
            std::find_if(words.begin(), words.end(), [](const auto &w) { return w.text == "Page:"; });
        QVERIFY(at != words.end() && words.end() - at >= 4);
        QCOMPARE(at[3].text, QString::number(pages));
        const double single = at[1].xMin - at[0].xMax;
        const double twice = at[3].xMin - at[2].xMax;
        QVERIFY2(twice > 1.7 * single && twice < 2.3 * single,
                 qPrintable(QString("%1 %2").arg(single).arg(twice)));
        QVERIFY(text.contains("Job number: J-4711"));
        QVERIFY(text.contains("Producer: K. Berg"));
        QVERIFY(text.contains("Testing: S. Ortiz"));
        QVERIFY(text.contains("Document number: D-0815"));
        QVERIFY(text.contains("Standpoint/Index: B"));
        QVERIFY(text.contains("Project file: " + project.document.Root()->values().front().toString()));
        QVERIFY(QRegularExpression(R"(\d\d\. \d\d\. \d{4} \d\d:\d\d:\d\d)").match(text).hasMatch());
    }
    // The header with the project lines only on the first page.
    QVERIFY(PdfTools::Text(pdf, 1).contains(QRegularExpression("Client/Firm:\\s+Acme Chemicals")));
    QVERIFY(!PdfTools::Text(pdf, 2).contains("Client/Firm:"));
    // A table that goes on over a page repeats its column titles.
    const int signalsStart = report->SectionStartPages().at(2);
    QVERIFY(pages > signalsStart);
    for (int page = signalsStart + 1; page <= pages; ++page)
        QVERIFY(PdfTools::Text(pdf, page).contains(QRegularExpression("Signal name\\s+Signal description")));
    // Every row of every table is somewhere.
    const QString all = PdfTools::Text(pdf);
    QCOMPARE(all.count("Process area "), 20);
    QCOMPARE(all.count(QRegularExpression("Module TT\\d+")), 120);
    QCOMPARE(all.count(QRegularExpression("TT\\d+/[12]\\s+Loop TT")), 240);
}

void TestPrintReports::aSectionThatDoesNotFitBeginsAtTheTopOfTheNextPage()
{
    ReportProject project;
    project.generate(15, 8);
    project.openWithCatalogues();
    const auto report = project.report(PrintMode::ProjectOutput);
    const QString pdf = pdfPath("sections.pdf");
    QVERIFY(WrittenPdf(*report, pdf, QPageLayout::Landscape));
    // The tree fills most of page 1, the folders table does not fit below
    // it and takes page 2, where the modules' table does not fit either.
    const std::vector<int> starts = report->SectionStartPages();
    QCOMPARE(starts.size(), size_t(3));
    QCOMPARE(starts[0], 2);
    QCOMPARE(starts[1], 3);
    const QString third = PdfTools::Text(pdf, 3);
    QVERIFY2(third.trimmed().startsWith("Module details"), qPrintable(third.left(200)));
    QVERIFY(!PdfTools::Text(pdf, 2).contains("Module details"));
    // The page starts grow and page 1 starts at the report's start.
    const std::vector<double> &offsets = report->PageStarts();
    QCOMPARE(offsets.front(), 0.0);
    QVERIFY(std::is_sorted(offsets.begin(), offsets.end()));
    QCOMPARE(int(offsets.size()), report->PageCount());
}

void TestPrintReports::aLongDescriptionWrapsInsteadOfRunningOff()
{
    ReportProject project;
    const QString words = QStringLiteral("Steam header pressure upstream of the reducing station %1 ");
    QString description;
    for (int i = 1; i <= 4; ++i)
        description += words.arg(i);
    project.exec(QStringLiteral("INSERT INTO Equipments (ID, ParentID, Name, Description) VALUES (700, 1, "
                                "'Boiler house', '%1')")
                     .arg(description.trimmed()));
    project.openWithCatalogues();
    const auto report = project.report(PrintMode::ProjectOutput);
    const QString pdf = pdfPath("wrap.pdf");
    QVERIFY(WrittenPdf(*report, pdf, QPageLayout::Portrait));
    const QString text = PdfTools::Text(pdf);
    QCOMPARE(text.count("Steam"), 4);
    QCOMPARE(text.count("reducing"), 4);
    // The cell's text stands on several lines of the description column.
    const QStringList lines = text.split('\n');
    const auto first = std::find_if(lines.begin(), lines.end(), [](const QString &l) {
        return l.contains("Boiler house") && l.contains("Steam");
    });
    QVERIFY(first != lines.end());
    QVERIFY(first + 2 < lines.end());
    const qsizetype column = first->indexOf("Steam");
    QVERIFY(column > 0);
    QVERIFY2((first + 1)->size() > column && !(first + 1)->left(column).trimmed().size(),
             qPrintable(*(first + 1)));
}

void TestPrintReports::moduleDetailsFollowTheModuleTables()
{
    ReportProject project;
    project.openWithCatalogues();
    Item *plant = project.addFolder(project.projectItem(), TreeNames::Plant, "Boiler house");
    QVERIFY(plant);
    // Made in an order that is neither the tables' nor the tree's.
    QVERIFY(project.addModule(project.projectItem(), Family7220, 65, "LT-301"));
    QVERIFY(project.addModule(project.projectItem(), Family7210, 34, "FT-201"));
    QVERIFY(project.addModule(*plant->asContainer(), Family7230, 7, "TT-103", "TT-104"));
    QVERIFY(project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102"));
    const QString pdf = pdfPath("order.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ProjectOutput), pdf, QPageLayout::Portrait));
    const QString text = PdfTools::Text(pdf);
    const qsizetype details = text.indexOf("Module details");
    QVERIFY(details > 0);
    QStringList order;
    static const QRegularExpression name("^(72\\d0/\\S+ - \\[[^\\]]+\\]( \\[[^\\]]+\\])?)",
                                         QRegularExpression::MultilineOption);
    auto it = name.globalMatch(text.mid(details, text.indexOf("Signal details") - details));
    while (it.hasNext())
        order << it.next().captured(1);
    QCOMPARE(order, QStringList({"7230/211-2 - [TT-101] [TT-102]", "7230/211-2 - [TT-103] [TT-104]",
                                 "7210/101-1 - [FT-201]", "7220/12-0 - [LT-301]"}));
}

void TestPrintReports::moduleInformationListsTheSectionsOfItsFamily()
{
    ReportProject project;
    project.openWithCatalogues();
    Item *m7230 = project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102");
    Item *m7210 = project.addModule(project.projectItem(), Family7210, 34, "FT-201");
    Item *m7220 = project.addModule(project.projectItem(), Family7220, 65, "LT-301");
    QVERIFY(m7230 && m7210 && m7220);
    const QStringList allSections = {"Device info", "Channels info", "Output", "Limiting value for Relay1",
                                     "Memo"};
    struct Case {
        Item *module;
        bool input;
    };
    for (const Case &c : {Case{m7230, true}, Case{m7210, true}, Case{m7220, false}}) {
        const auto report = project.report(PrintMode::ModuleInformation, c.module);
        const QString pdf = pdfPath("module.pdf");
        QVERIFY(WrittenPdf(*report, pdf, QPageLayout::Landscape));
        const QString text = PdfTools::Text(pdf);
        QVERIFY(text.contains("Module informations"));
        for (const QString &section : allSections)
            QVERIFY2(text.contains(section), qPrintable(section));
        QCOMPARE(text.contains(QRegularExpression("^\\s*Input\\s*$", QRegularExpression::MultilineOption)),
                 c.input);
        QCOMPARE(text.contains("Signal processing"), c.input);
        QCOMPARE(text.contains("Measuring range"), c.input);
        // The frequency family's rows belong to the 7210 alone.
        QCOMPARE(text.contains("Startup delay"), c.module == m7210);
        QCOMPARE(text.contains("Impulse output active"), c.module == m7210);
        QCOMPARE(text.contains("Wire resistance"), c.module == m7230);
        QVERIFY(text.contains("Limiting value for Relay2"));
    }
    // While the impulse output is on, the second relay serves it.
    const qint32 signal = project.value(*m7210, "Ch1SignalID").toInt();
    project.exec(QStringLiteral("UPDATE Signals SET Impulsausgangaktiv = 1 WHERE ID = %1").arg(signal));
    const QString pdf = pdfPath("impulses.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ModuleInformation, m7210), pdf, QPageLayout::Landscape));
    const QString text = PdfTools::Text(pdf);
    QVERIFY(text.contains("Used for impulse output"));
    QVERIFY(!text.contains("Limiting value for Relay2"));
    QVERIFY(text.contains(QRegularExpression("Impulse output active\\s+Yes")));
}

void TestPrintReports::theModulePositionAndItsValuesAreShown()
{
    ReportProject project;
    project.openWithCatalogues();
    Item *plant = project.addFolder(project.projectItem(), TreeNames::Plant, "Boiler house");
    QVERIFY(plant);
    Item *cabinet = project.addFolder(*plant->asContainer(), TreeNames::Cabinet, "MCC-2");
    QVERIFY(cabinet);
    Item *module = project.addModule(*cabinet->asContainer(), Family7230, 7, "TT-101", "TT-102");
    QVERIFY(module);
    const qint32 id = module->id().toInt();
    const QString table = module->level().tableName();
    project.exec(QStringLiteral("UPDATE %1 SET SerialNr = 'SN-7781', Revision = '2.1', Memo = 'Checked after "
                                "the shutdown' WHERE ID = %2")
                     .arg(table)
                     .arg(id));
    const auto report = project.report(PrintMode::ModuleInformation, module);
    const QString pdf = pdfPath("position.pdf");
    QVERIFY(WrittenPdf(*report, pdf, QPageLayout::Portrait));
    const QString text = PdfTools::Text(pdf);
    QVERIFY(text.contains(QRegularExpression("plant:\\s+Boiler house")));
    QVERIFY(text.contains(QRegularExpression("cabinet:\\s+MCC-2")));
    QVERIFY(text.contains(QRegularExpression("zelnor-carrier:\\s+----")));
    QVERIFY(text.contains(QRegularExpression("Serial number\\s+SN-7781")));
    QVERIFY(text.contains(QRegularExpression("Name\\s+TT-101\\s+TT-102")));
    QVERIFY(text.contains(QRegularExpression("Module type\\s+Z 7230/211-2")));
    QVERIFY(text.contains("Checked after the shutdown"));
    // A one-channel module shows "----" for its second channel.
    Item *single = project.addModule(*cabinet->asContainer(), Family7220, 65, "LT-301");
    QVERIFY(single);
    const QString one = pdfPath("one.pdf");
    QVERIFY(
        WrittenPdf(*project.report(PrintMode::ModuleInformation, single), one, QPageLayout::Portrait));
    QVERIFY(PdfTools::Text(one).contains(QRegularExpression("Name\\s+LT-301\\s+----")));

    // A plant name of wide letters, wider than its line, goes on in the next
    // line, whole.
    const QString wideName(50, QLatin1Char('W'));
    QVERIFY(project.document.BeginEdit(*plant));
    QVERIFY(project.document.SetValue(*plant, "Name", wideName, true));
    QVERIFY(project.document.Save(*plant));
    const QString wide = pdfPath("wide-plant.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ModuleInformation, module), wide, QPageLayout::Portrait));
    const QString wrapped = PdfTools::Text(wide);
    QVERIFY2(!wrapped.contains(QChar(0x2026)), qPrintable(wrapped));
    QVERIFY2(wrapped.count(QLatin1Char('W')) >= 50, qPrintable(wrapped));
}

// The numbers carry the decimals of their page fields (the module's blocks
// keep fewer), and the impulse rows of a 7210 type without an impulse output
// do not apply.
void TestPrintReports::moduleInformationPrintsTheNumbersAsThePagesShowThem()
{
    ReportProject project;
    project.openWithCatalogues();
    Item *temperature = project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102");
    Item *frequency = project.addModule(project.projectItem(), Family7210, 35, "FT-201");
    QVERIFY(temperature && frequency);
    project.exec(QStringLiteral("UPDATE Signals SET WorkingModeID = 2, TCtypeID = 2, ComparePlaceTemp = 23450, "
                                "RangeUnitsID = 0, RangeBegin = 0, RangeEnd = 1199950, OutputErrorStop = 0, "
                                "OutputErrorValue = 21500000 WHERE ID = %1")
                     .arg(project.value(*temperature, "Ch1SignalID").toInt()));
    project.exec(QStringLiteral("UPDATE Signals SET WorkingModeID = 1, RangeUnitsID = 1, RangeBegin = 0, "
                                "RangeEnd = 10005 WHERE ID = %1")
                     .arg(project.value(*frequency, "Ch1SignalID").toInt()));
    const QString first = pdfPath("temperature.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ModuleInformation, temperature), first,
                           QPageLayout::Landscape));
    const QString temperatures = PdfTools::Text(first);
    QVERIFY2(temperatures.contains("23.45 °C"), qPrintable(temperatures));
    QVERIFY(temperatures.contains("0 - 1199.95 °C"));
    QVERIFY(temperatures.contains(QRegularExpression("Output error value\\s+21.500 mA")));
    const QString second = pdfPath("frequency.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ModuleInformation, frequency), second,
                           QPageLayout::Landscape));
    const QString frequencies = PdfTools::Text(second);
    QVERIFY2(frequencies.contains("0 - 10.005 Hz"), qPrintable(frequencies));
    QVERIFY(frequencies.contains(QRegularExpression("Divisor\\s+----\\s+----")));
    QVERIFY(frequencies.contains(QRegularExpression("Impulse output active\\s+----\\s+----")));
}

void TestPrintReports::theDataCardKeepsToItsCardAndToThePagesOfItsModule()
{
    ReportProject project;
    project.openWithCatalogues();
    Item *withRelays = project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102");
    Item *withoutRelays = project.addModule(project.projectItem(), Family7230, 1, "TT-201");
    QVERIFY(withRelays && withoutRelays);
    const QString full = pdfPath("card-full.pdf");
    QVERIFY(
        WrittenPdf(*project.report(PrintMode::ModuleDataCard, withRelays), full, QPageLayout::Landscape));
    QCOMPARE(PdfTools::Pages(full), 1);
    const QString text = PdfTools::Text(full);
    for (const char *section : {"Device info", "Channels", "Input", "Signal", "Output", "Relay1", "Relay2", "Memo"})
        QVERIFY2(text.contains(section), section);
    // Everything stands on the card of 85 x 80 mm at the top left of the
    // printable area, which begins 5 mm into the paper, or on a card that
    // continues it below.
    for (const PdfTools::Word &word : PdfTools::Words(full, 1))
        QVERIFY2(OnACard(word), qPrintable(word.text));
    // A type without relays has no room kept for them.
    const QString small = pdfPath("card-small.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ModuleDataCard, withoutRelays), small,
                           QPageLayout::Landscape));
    const QString without = PdfTools::Text(small);
    QVERIFY(without.contains("Output"));
    QVERIFY(!without.contains("Relay1"));
    QVERIFY(!without.contains("Relay2"));
}

void TestPrintReports::theDataCardKeepsEveryValueLegible_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("EN") << 1;
    QTest::newRow("GE") << 2;
    QTest::newRow("RU") << 4;
}

// A module with every row of the card in use prints no text on its card
// smaller than 6 pt, measured against the 8 pt section titles, and keeps to
// the card.
void TestPrintReports::theDataCardKeepsEveryValueLegible()
{
    QFETCH(int, language);
    ReportProject project;
    project.openWithCatalogues();
    Item *module = project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102");
    QVERIFY(module);
    const QString signalIds = QStringLiteral("(%1, %2)")
                                .arg(project.value(*module, "Ch1SignalID").toInt())
                                .arg(project.value(*module, "Ch2SignalID").toInt());
    project.exec("UPDATE Signals SET WorkingModeID = 0, TypeOfCircuitID = 0, WireResistance = 1050, "
                 "OutputErrorStop = 0, Relay1LimitValue = 1, Relay1AgainSettingProtection = 3, "
                 "Relay2LimitValue = 2, Relay2AgainSettingProtection = 2, Description = 'Feed water line north' "
                 "WHERE ID IN " + signalIds);
    project.exec(QStringLiteral("UPDATE %1 SET SerialNr = 'SN-7781', Revision = '2.1', Description = "
                                "'Boiler feed', Memo = 'Checked after the shutdown' WHERE ID = %2")
                     .arg(module->level().tableName())
                     .arg(module->id().toInt()));
    QVERIFY(Language::load(language));
    const auto report = project.report(PrintMode::ModuleDataCard, module);
    const QString titleWord = Str(PrintStrings::DeviceInfo).split(' ').front();
    const QString pdf = pdfPath("card-legible.pdf");
    QVERIFY(WrittenPdf(*report, pdf, QPageLayout::Landscape));
    TestSupport::loadEnglish();
    const std::vector<PdfTools::Word> words = PdfTools::Words(pdf, 1);
    double pointsPerHeight = 0;
    for (const PdfTools::Word &word : words)
        if (word.text == titleWord)
            pointsPerHeight = 8 / (word.yMax - word.yMin);
    QVERIFY2(pointsPerHeight > 0, qPrintable(titleWord));
    double smallest = 100;
    QString smallestWord;
    for (const PdfTools::Word &word : words) {
        const double size = (word.yMax - word.yMin) * pointsPerHeight;
        if (size < smallest) {
            smallest = size;
            smallestWord = word.text;
        }
        QVERIFY2(OnACard(word), qPrintable(word.text));
    }
    QVERIFY2(smallest >= 5.95, qPrintable(QString("%1 at %2 pt").arg(smallestWord).arg(smallest)));
    // Every value is there, none cut short and none split between its
    // letters: a value wider than its cell goes on in the next line at a
    // space, and its column is given the room of its longest word.
    const QString text = PdfTools::Text(pdf);
    for (const char *value : {"SN-7781", "Checked", "Feed", "10.5"})
        QVERIFY2(text.contains(value), value);
    QStringList printed;
    for (const PdfTools::Word &word : words)
        printed << word.text;
    const char *longestWord = language == 2 ? "Widerstandsthermometer" : language == 4 ? "сопротивления" : "thermometer";
    QVERIFY2(printed.contains(QString::fromUtf8(longestWord)), qPrintable(printed.join(' ')));
    QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(text));
}

void TestPrintReports::theCommandsFollowTheSelectedItem()
{
    ReportProject project;
    ReportCommands closed(project.document, project.catalogues);
    QVERIFY(!closed.IsEnabled(ReportCommands::PrintProject));
    project.openWithCatalogues();
    ReportCommands commands(project.document, project.catalogues);
    Item *m7230 = project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102");
    Item *m7210 = project.addModule(project.projectItem(), Family7210, 34, "FT-201");
    Item *m7220 = project.addModule(project.projectItem(), Family7220, 65, "LT-301");
    Item *plant = project.addFolder(project.projectItem(), TreeNames::Plant, "Boiler house");
    QVERIFY(m7230 && m7210 && m7220 && plant);
    struct Case {
        Item *item;
        bool information;
        bool card;
    };
    for (const Case &c : {Case{m7230, true, true}, Case{m7210, true, false}, Case{m7220, true, false},
                          Case{plant, false, false}}) {
        QVERIFY(project.document.Select(c.item->handle()));
        QVERIFY(commands.IsEnabled(ReportCommands::PrintProject));
        QCOMPARE(commands.IsEnabled(ReportCommands::ModuleInformation), c.information);
        QCOMPARE(commands.IsEnabled(ReportCommands::ModuleDataCard), c.card);
        QCOMPARE(commands.Start(ReportCommands::ModuleDataCard) != nullptr, c.card);
    }
    // The plain "Print" prints the report of the last mode.
    QVERIFY(project.document.Select(m7210->handle()));
    const auto information = commands.Start(ReportCommands::ModuleInformation);
    QVERIFY(information);
    QCOMPARE(commands.Mode(), PrintMode::ModuleInformation);
    const auto again = commands.Start(ReportCommands::FilePrint);
    QVERIFY(again && again->Mode() == PrintMode::ModuleInformation);
    QVERIFY(project.document.Select(plant->handle()));
    QVERIFY(!commands.IsEnabled(ReportCommands::FilePrint));
}

void TestPrintReports::theFrameAndTheTitleBlockAreDrawnWhereTheyBelong()
{
    ReportProject project;
    project.generate(3, 6);
    project.openWithCatalogues();
    const QString pdf = pdfPath("frame.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ProjectOutput), pdf, QPageLayout::Landscape));
    // 5 pixels a millimetre: the landscape A4 page is 1485 x 1050.
    const QImage page = PdfTools::Render(pdf, 1, 127);
    QVERIFY2(qAbs(page.width() - 1485) <= 1 && qAbs(page.height() - 1050) <= 1,
             qPrintable(QString("%1 x %2").arg(page.width()).arg(page.height())));
    const auto dark = [&](double xMm, double yMm) {
        // Any dark pixel within a quarter millimetre.
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (qGray(page.pixel(int(xMm * 5) + dx, int(yMm * 5) + dy)) < 128)
                    return true;
        return false;
    };
    // The paper's printable area begins 5 mm in; the drawing area 5 mm
    // further; its frame begins 1 mm above it and ends 20 mm above the
    // printable area's bottom (205 mm from the top), where the title block
    // hangs below.
    QVERIFY(dark(10, 100));  // left edge of the frame
    QVERIFY(dark(287, 100)); // right edge
    QVERIFY(dark(150, 9));   // top edge
    QVERIFY(dark(200, 185)); // bottom edge
    QVERIFY(!dark(7, 100));
    QVERIFY(!dark(150, 6));
    QVERIFY(!dark(200, 180)); // the empty end of the page's content
    // The title block: its edges and the columns a quarter of the width
    // apart, the thick line closing it, nothing below it.
    const double quarter = (287.0 - 10.0) / 4;
    for (int column = 0; column <= 4; ++column)
        QVERIFY2(dark(10 + column * quarter, 187), qPrintable(QString::number(column)));
    double bottom = 0;
    for (double y = 186; y < 205; y += 0.2)
        if (dark(10 + quarter * 1.5, y) && dark(10 + quarter * 0.5, y) && dark(10 + quarter * 3.5, y))
            bottom = y;
    QVERIFY2(bottom > 192 && bottom < 205, qPrintable(QString::number(bottom)));
    QVERIFY(!dark(100, 203));
    // The logos stand in the header's corners.
    QVERIFY(dark(15, 13) || dark(15, 14));
    QVERIFY(dark(280, 13) || dark(280, 14));
}

void TestPrintReports::aPdfThatCannotBeWrittenLeavesNothing()
{
    ReportProject project;
    project.openWithCatalogues();
    const QString target = m_dir.filePath("missing/folder/report.pdf");
    QVERIFY(!WrittenPdf(*project.report(PrintMode::ProjectOutput), target, QPageLayout::Landscape));
    QVERIFY(!QFile::exists(target));
    QVERIFY(!QFile::exists(target + ".part"));
    // A report that was there stays when the new one cannot be written.
    QDir(m_dir.path()).mkdir("locked");
    const QString existing = m_dir.filePath("locked/kept.pdf");
    QVERIFY(WrittenPdf(*project.report(PrintMode::ProjectOutput), existing, QPageLayout::Landscape));
    const QByteArray before = ToolTestChecksum(existing);
    QFile::setPermissions(m_dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    const bool written =
        WrittenPdf(*project.report(PrintMode::ProjectOutput), existing, QPageLayout::Portrait);
    QFile::setPermissions(m_dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0) {
        QVERIFY(!written);
        QCOMPARE(ToolTestChecksum(existing), before);
    }
}

// The outline of the project output is the tree's: the project stands
// under the name the tree gives it in the window's language.
void TestPrintReports::theOutlineNamesTheProjectAsTheTreeDoes()
{
    ReportProject project;
    project.generate(1, 1);
    project.openWithCatalogues();
    const QStringList expected{"Project", "Projekt", "Projet", QString::fromUtf8("Проект"), "Proyecto"};
    for (int language = 1; language <= Language::kCount; ++language) {
        QVERIFY(Language::load(language));
        const ProjectOutputData data = ReportDataReader(project.document, project.catalogues).ProjectOutput();
        QVERIFY(data.tree.size() >= 3);
        QCOMPARE(data.tree.front().depth, 0);
        QCOMPARE(data.tree.front().text, expected.at(language - 1));
        QVERIFY(std::any_of(data.tree.begin(), data.tree.end(),
                            [](const TreeLine &line) { return line.text == QStringLiteral("Plant 1"); }));
    }
    Language::load(1);
}

QTEST_MAIN(TestPrintReports)
#include "test_print_reports.moc"

