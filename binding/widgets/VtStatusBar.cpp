#include "VtStatusBar.h"

#include "VtMessages.h"

#include <QPlainTextEdit>

VtStatusBar::VtStatusBar(QWidget* parent) : QStatusBar(parent), simple_(new QLabel(this))
{
    setSizeGripEnabled(false);
    simple_->setObjectName(QStringLiteral("simpleText"));
    addWidget(simple_, 1);
}

QString VtStatusBar::simpleText() const
{
    return simple_->text();
}

void VtStatusBar::setSimpleText(const QString& text)
{
    simple_->setText(text);
}

void VtStatusBar::setSimplePanel(bool on)
{
    simplePanel_ = on;
    updateFace();
}

VtStatusPanel* VtStatusBar::addPanel(int width)
{
    auto* p = new VtStatusPanel(this);
    p->setObjectName(QStringLiteral("panel%1").arg(panels_.size()));
    p->setMinimumWidth(width);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    // The last panel takes what is left of the bar.
    addWidget(p, 0);
    panels_ << p;
    updateFace();
    return p;
}

VtStatusPanel* VtStatusBar::panel(int index) const
{
    return index >= 0 && index < panels_.size() ? panels_[index] : nullptr;
}

QString VtStatusBar::panelText(int index) const
{
    const VtStatusPanel* p = panel(index);
    return p ? p->text() : QString();
}

void VtStatusBar::setPanelText(int index, const QString& text)
{
    if (VtStatusPanel* p = panel(index))
        p->setText(text);
}

void VtStatusBar::updateFace()
{
    const bool simple = simplePanel_ || panels_.isEmpty();
    simple_->setVisible(simple);
    for (VtStatusPanel* p : panels_)
        p->setVisible(!simple);
}

void VtWriteResultLog(QObject* target, int kind, const std::string& message)
{
    if (!target)
        return;
    const QString line = QString::fromStdString(VtResultLogLine(kind, message));
    if (auto* memo = qobject_cast<QPlainTextEdit*>(target))
        memo->appendPlainText(line);
    else if (auto* bar = qobject_cast<VtStatusBar*>(target))
        bar->setSimpleText(line);
    else if (auto* panel = qobject_cast<VtStatusPanel*>(target))
        panel->setText(line);
}
