#include "FrontPanel.h"

#include "LedLamp.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace FrontPanel {

namespace {

void drawAntenna(QPainter& p, int centreX, int baseY)
{
    // Hinge block on the body, then the tapered rod with a rounded tip.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x32, 0x36));
    p.drawRoundedRect(QRectF(centreX - 11, baseY - 14, 22, 18), 4, 4);
    QLinearGradient rod(centreX - 7, 0, centreX + 7, 0);
    rod.setColorAt(0.0, QColor(0x22, 0x24, 0x28));
    rod.setColorAt(0.45, QColor(0x5a, 0x5e, 0x66));
    rod.setColorAt(1.0, QColor(0x22, 0x24, 0x28));
    p.setBrush(rod);
    QPainterPath path;
    path.moveTo(centreX - 7, baseY - 12);
    path.lineTo(centreX - 5, 16);
    path.quadTo(centreX, 6, centreX + 5, 16);
    path.lineTo(centreX + 7, baseY - 12);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(0x18, 0x19, 0x1c));
    p.drawRect(QRectF(centreX - 6, baseY - 60, 12, 3));
}

void drawLampSocket(QPainter& p, QPoint lamp)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x55, 0x58, 0x5e));
    p.drawEllipse(QRectF(lamp.x() - 2, lamp.y() - 2, LedLamp::Width + 4, LedLamp::Height + 4));
    p.setBrush(QColor(0x10, 0x10, 0x10));
    p.drawEllipse(QRectF(lamp.x(), lamp.y(), LedLamp::Width, LedLamp::Height));
}

void drawCentredText(QPainter& p, int centreX, int baselineY, const QString& text)
{
    const int width = p.fontMetrics().horizontalAdvance(text);
    p.drawText(centreX - width / 2, baselineY, text);
}

}  // namespace

QImage picture()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(QColor(0xe8, 0xe9, 0xec));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF body(34, 118, 250, 312);
    drawAntenna(p, 74, 124);
    drawAntenna(p, 244, 124);

    // Housing with a slight top-to-bottom shading and a darker front bezel.
    QLinearGradient shell(0, body.top(), 0, body.bottom());
    shell.setColorAt(0.0, QColor(0xfb, 0xfb, 0xfc));
    shell.setColorAt(1.0, QColor(0xcf, 0xd2, 0xd8));
    p.setPen(QPen(QColor(0x8a, 0x8e, 0x96), 1.5));
    p.setBrush(shell);
    p.drawRoundedRect(body, 18, 18);

    const QRectF bezel(50, 344, 218, 70);
    p.setPen(QPen(QColor(0x9a, 0x9e, 0xa6), 1));
    p.setBrush(QColor(0x2c, 0x2f, 0x35));
    p.drawRoundedRect(bezel, 8, 8);

    // Vent slots in the upper half of the housing.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb8, 0xbc, 0xc4));
    for (int row = 0; row < 6; ++row)
        p.drawRoundedRect(QRectF(92, 244 + row * 12, 134, 4), 2, 2);

    // Model name.
    QFont nameFont(QStringLiteral("Sans"));
    nameFont.setPixelSize(22);
    nameFont.setBold(true);
    p.setFont(nameFont);
    p.setPen(QColor(0x3a, 0x3e, 0x46));
    drawCentredText(p, Width / 2, 196, QStringLiteral("KSR-4710"));
    QFont subFont(QStringLiteral("Sans"));
    subFont.setPixelSize(11);
    p.setFont(subFont);
    p.setPen(QColor(0x6a, 0x6e, 0x76));
    drawCentredText(p, Width / 2, 216, QStringLiteral("Wireless Access Point"));

    // Printed labels above the lamp row: "802.11 b/g/n" spans both radio
    // lamps, "LAN" and "Power" sit over their own lamp.
    QFont labelFont(QStringLiteral("Sans"));
    labelFont.setPixelSize(8);
    p.setFont(labelFont);
    p.setPen(QColor(0xe0, 0xe2, 0xe6));
    const int radioCentre = (Wlan24Lamp.x() + Wlan5Lamp.x() + LedLamp::Width) / 2;
    drawCentredText(p, radioCentre, 362, QStringLiteral("802.11 b/g/n"));
    p.drawLine(Wlan24Lamp.x() + 2, 366, Wlan5Lamp.x() + LedLamp::Width - 2, 366);
    drawCentredText(p, LanLamp.x() + LedLamp::Width / 2 + 1, 377, QStringLiteral("LAN"));
    drawCentredText(p, PowerLamp.x() + LedLamp::Width / 2 + 1, 377, QStringLiteral("Power"));

    for (QPoint lamp : {LanLamp, Wlan24Lamp, Wlan5Lamp, PowerLamp})
        drawLampSocket(p, lamp);
    return image;
}

}  // namespace FrontPanel
