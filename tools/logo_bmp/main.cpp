// zelnor-logo-bmp: renders one logo drawn as SVG into the bitmap file that
// the reports draw beside the program, or an icon into a square PNG of the
// desktop's icon theme. Runs during the build on the offscreen platform.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {
int fail(const QString &message)
{
    QTextStream(stderr) << "zelnor-logo-bmp: " << message << Qt::endl;
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4)
        return fail(QStringLiteral("usage: zelnor-logo-bmp LOGO.svg OUTPUT.bmp|ICON.png WIDTH"));
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(args.at(1)));
    bool ok = false;
    const int width = args.at(3).toInt(&ok);
    if (!ok || width < 16 || width > 4000)
        return fail(QStringLiteral("bad width %1").arg(args.at(3)));
    const QSizeF drawn = renderer.defaultSize();
    // A bitmap has no transparency: the logo stands on white paper. An icon
    // is square and stands on nothing.
    const bool icon = args.at(2).endsWith(QLatin1String(".png"), Qt::CaseInsensitive);
    const int height = icon ? width : qRound(width * drawn.height() / drawn.width());
    QImage image(width, height, icon ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(icon ? Qt::transparent : Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    renderer.render(&painter);
    painter.end();
    if (!image.save(args.at(2), icon ? "PNG" : "BMP"))
        return fail(QStringLiteral("cannot write %1").arg(args.at(2)));
    return 0;
}
