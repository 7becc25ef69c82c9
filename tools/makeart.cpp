// Draws the splash and header pictures of Resources/ and the application
// icon in Resources/icons/ (SVG, and PNG at the hicolor sizes).
// Run: QT_QPA_PLATFORM=offscreen makeart Resources
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor ink(28, 34, 48);

// A row of patches in the order of a print control strip: C, M, Y, K and overprints.
void drawPatchStrip(QPainter &p, QRectF area, int count)
{
    const QColor patches[] = {
        QColor(0, 158, 224), QColor(226, 0, 122), QColor(255, 237, 0), QColor(35, 31, 32),
        QColor(46, 49, 146), QColor(0, 147, 69),   QColor(237, 28, 36), QColor(160, 160, 160)};
    const qreal w = area.width() / count;
    for (int i = 0; i < count; ++i)
        p.fillRect(QRectF(area.left() + i * w, area.top(), w - 2, area.height()), patches[i % 8]);
}

QImage makeSplash()
{
    QImage image(640, 400, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 640, 400);
    sky.setColorAt(0, QColor(247, 248, 250));
    sky.setColorAt(1, QColor(222, 227, 236));
    p.fillRect(image.rect(), sky);

    // Three overlapping discs in the process inks, overprinting as inks do.
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    const QColor discs[] = {QColor(0, 174, 239, 200), QColor(236, 0, 140, 200), QColor(255, 242, 0, 200)};
    const QPointF centres[] = {QPointF(150, 160), QPointF(215, 160), QPointF(182, 215)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(discs[i]);
        p.drawEllipse(centres[i], 62, 62);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    p.setPen(ink);
    QFont title("DejaVu Sans", 40, QFont::Bold);
    p.setFont(title);
    p.drawText(QRectF(300, 120, 320, 70), Qt::AlignLeft | Qt::AlignVCenter, "Lumivant");
    QFont sub("DejaVu Sans", 12);
    p.setFont(sub);
    p.drawText(QRectF(302, 185, 330, 30), Qt::AlignLeft | Qt::AlignVCenter, "Average colour of print and photo");
    p.drawText(QRectF(302, 210, 330, 30), Qt::AlignLeft | Qt::AlignVCenter, "CIE L*a*b*  \u00b7  L*C*h*  \u00b7  ink coverage");
    QFont maker("DejaVu Sans", 11, QFont::Bold);
    p.setFont(maker);
    p.drawText(QRectF(24, 340, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, "VELTRANE");
    drawPatchStrip(p, QRectF(0, 384, 640, 16), 16);
    return image;
}

QImage makeWhite()
{
    QImage image(16, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage makeMidHeader()
{
    QImage image(420, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ink);
    p.setFont(QFont("DejaVu Sans", 17, QFont::Bold));
    p.drawText(QRectF(0, 0, 420, 40), Qt::AlignCenter, "Veltrane Lumivant");
    return image;
}

QImage makeRightHeader()
{
    QImage image(160, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawPatchStrip(p, QRectF(8, 12, 144, 16), 8);
    return image;
}

// The icon, on a grid of 256: a light tile, three process-ink discs
// overprinting, and a black measuring ring around their common middle.
struct IconDisc {
    QPointF centre;
    qreal radius;
    QColor colour;
};

const IconDisc iconDiscs[] = {{QPointF(104, 108), 56, QColor(0, 174, 239, 190)},
                              {QPointF(152, 108), 56, QColor(236, 0, 140, 190)},
                              {QPointF(128, 150), 56, QColor(255, 221, 0, 190)}};
const QRectF iconTile(16, 16, 224, 224);
const qreal iconCorner = 44;
const QPointF ringCentre(128, 122);
const qreal ringRadius = 22;

QString svgColour(QColor colour)
{
    return QString("fill=\"%1\" fill-opacity=\"%2\"").arg(colour.name()).arg(colour.alphaF(), 0, 'f', 3);
}

QByteArray iconSvg()
{
    QString svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    svg += QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"#f3f5f9\" "
                   "stroke=\"#1c2230\" stroke-width=\"6\"/>\n")
               .arg(iconTile.x())
               .arg(iconTile.y())
               .arg(iconTile.width())
               .arg(iconTile.height())
               .arg(iconCorner);
    for (const IconDisc &disc : iconDiscs)
        svg += QString("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n")
                   .arg(disc.centre.x())
                   .arg(disc.centre.y())
                   .arg(disc.radius)
                   .arg(svgColour(disc.colour));
    svg += QString("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"none\" stroke=\"#1c2230\" stroke-width=\"8\"/>\n")
               .arg(ringCentre.x())
               .arg(ringCentre.y())
               .arg(ringRadius);
    svg += "</svg>\n";
    return svg.toUtf8();
}

QImage iconPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    p.setPen(QPen(ink, 6));
    p.setBrush(QColor(243, 245, 249));
    p.drawRoundedRect(iconTile, iconCorner, iconCorner);
    p.setPen(Qt::NoPen);
    for (const IconDisc &disc : iconDiscs) {
        p.setBrush(disc.colour);
        p.drawEllipse(disc.centre, disc.radius, disc.radius);
    }
    p.setPen(QPen(ink, 8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ringCentre, ringRadius, ringRadius);
    return image;
}

bool saveIcons(const QString &dir)
{
    QDir().mkpath(dir);
    QFile svg(dir + "/lumivant.svg");
    bool ok = svg.open(QIODevice::WriteOnly) && svg.write(iconSvg()) > 0;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = iconPicture(size).save(QString("%1/lumivant-%2.png").arg(dir).arg(size), "PNG") && ok;
    if (!ok)
        std::fprintf(stderr, "makeart: cannot write the icons in %s\n", qPrintable(dir));
    return ok;
}

bool save(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeart OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = save(makeSplash(), dir + "/Splash.png");
    ok = save(makeWhite(), dir + "/White.png") && ok;
    ok = save(makeMidHeader(), dir + "/MidHeader.png") && ok;
    ok = save(makeRightHeader(), dir + "/RightHeader.png") && ok;
    ok = saveIcons(dir + "/icons") && ok;
    return ok ? 0 : 1;
}
