// Draws the splash and header pictures of Resources/.
// Run: QT_QPA_PLATFORM=offscreen makeart Resources
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
    return ok ? 0 : 1;
}
