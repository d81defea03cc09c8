// zelnor-readme-pdf: turns one quick-start HTML page into the A4 PDF that
// "Brief Instructions" opens beside the program. Runs during the build on the
// offscreen platform.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

namespace {

constexpr int kResolution = 300;
constexpr double kMarginMm = 20.0;
constexpr double kBodyPointSize = 10.0;

int fail(const QString &message)
{
    QTextStream(stderr) << "zelnor-readme-pdf: " << message << Qt::endl;
    return 2;
}

// The title of the PDF is the page's <title>, so that viewers show it.
void printDocument(const QString &html, QPdfWriter &writer)
{
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), kBodyPointSize));
    document.setHtml(html);
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    document.print(&writer);
}

} // namespace

int main(int argc, char *argv[])
{
    // The build machine has no display; printing needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: zelnor-readme-pdf PAGE.html OUTPUT.pdf"));

    QFile source(args.at(1));
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args.at(1), source.errorString()));
    const QString html = QString::fromUtf8(source.readAll());
    if (html.trimmed().isEmpty())
        return fail(QStringLiteral("%1 is empty").arg(args.at(1)));

    QPdfWriter writer(args.at(2));
    writer.setCreator(QStringLiteral("Zelnor Wizard"));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    printDocument(html, writer);
    if (!QFile::exists(args.at(2)))
        return fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    return 0;
}
