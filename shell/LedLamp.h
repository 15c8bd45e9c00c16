#pragma once
// One LED lamp of the front panel: a filled ellipse without outline whose fill
// colour and visibility the main window sets from the device's state.

#include <QColor>
#include <QWidget>

class LedLamp : public QWidget {
    Q_OBJECT

public:
    static constexpr QRgb Lit = 0x00FF00;   // lime
    static constexpr QRgb Dark = 0x000000;  // black
    static constexpr int Width = 13;
    static constexpr int Height = 9;

    explicit LedLamp(QWidget* parent = nullptr);

    QRgb color() const { return color_; }
    void setColor(QRgb color);
    bool isLit() const { return color_ == Lit; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRgb color_ = Dark;
};
