#include "LedLamp.h"

#include <QPainter>

LedLamp::LedLamp(QWidget* parent) : QWidget(parent)
{
    setFixedSize(Width, Height);
    // The picture behind shows through around the ellipse.
    setAttribute(Qt::WA_TranslucentBackground);
}

void LedLamp::setColor(QRgb color)
{
    color &= 0xFFFFFF;
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void LedLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(color_));
    painter.drawEllipse(rect());
}
