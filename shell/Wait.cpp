#include "Wait.h"

#include "LedLamp.h"
#include "MainArrays.h"
#include "Trace.h"
#include "VtEdit.h"
#include "VtSNMPRequest2Edits.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace {

TFM_Waiting* g_current = nullptr;
QPointer<LedLamp> g_answerLamp;

// The normal arrow: drop every override cursor a long command may have set.
void setNormalCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

}  // namespace

TFM_Waiting::TFM_Waiting(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FM_Waiting"));
    setWindowTitle(QStringLiteral("Please wait"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(253, 69);

    Label2 = makeLabel(this, "Label2", QStringLiteral("Settings saved."), QRect(16, 6, 229, 16));
    Label3 = makeLabel(this, "Label3", QStringLiteral("The device is restarting."), QRect(16, 25, 229, 16));
    Label1 = makeLabel(this, "Label1", QStringLiteral("Please wait for"), QRect(16, 46, 86, 16));
    La_Time = makeLabel(this, "La_Time", QString(), QRect(104, 46, 24, 16));
    La_Time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    seconds = makeLabel(this, "seconds", QStringLiteral("seconds."), QRect(132, 46, 60, 16));

    Ed_Reboot = new VtEdit(this);
    Ed_Reboot->setObjectName(QStringLiteral("Ed_Reboot"));
    Ed_Reboot->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1200);
    connect(Timer1, &QTimer::timeout, this, &TFM_Waiting::Timer1Timer);
    Timer1->start();

    if (owner) {
        const QPoint centre = owner->geometry().center();
        move(centre.x() - width() / 2, centre.y() - height() / 2);
    }
    g_current = this;
}

TFM_Waiting::~TFM_Waiting()
{
    if (g_current == this)
        g_current = nullptr;
}

TFM_Waiting* TFM_Waiting::current()
{
    return g_current;
}

void TFM_Waiting::setAnswerLamp(LedLamp* lamp)
{
    g_answerLamp = lamp;
}

void TFM_Waiting::setLines(const QString& first, const QString& second)
{
    Label2->setText(first);
    Label3->setText(second);
}

bool TFM_Waiting::deviceAnswering() const
{
    return g_answerLamp && g_answerLamp->isLit();
}

void TFM_Waiting::Timer1Timer()
{
    const bool answering = deviceAnswering();
    if (Remaining != 1 || answering) {
        --Remaining;
        La_Time->setText(QString::number(Remaining));
    } else {
        ++StalledTicks;
    }
    --RebootDelay;

    if ((Remaining <= 0 && answering) || StalledTicks >= 6) {
        if (mayClose()) {
            Timer1->stop();
            done(QDialog::Accepted);
        }
    }

    if (RebootPending && RebootDelay <= 0) {
        if (SendReboot)
            sendRebootCommand();
        RebootPending = false;
    }
}

bool TFM_Waiting::mayClose()
{
    if (StalledTicks > 2)
        Remaining = 0;
    return Remaining <= 0;
}

// Close box and Escape both end here; refused while the count runs.
void TFM_Waiting::reject()
{
    if (!mayClose())
        return;
    Timer1->stop();
    QDialog::reject();
}

void TFM_Waiting::showBusyNote(QWidget* caller, const QString& first, const QString& second)
{
    setLines(first.isEmpty() ? QStringLiteral("Please wait...") : first, second);
    Label1->hide();
    seconds->hide();
    SendReboot = false;
    Timer1->stop();
    show();
    repaint();
    setNormalCursor();
    if (caller)
        caller->setEnabled(false);
}

void TFM_Waiting::endBusyNote(QWidget* caller)
{
    if (caller)
        caller->setEnabled(true);
    setNormalCursor();
    hide();
}

void TFM_Waiting::finishBusyNote(QWidget* caller)
{
    if (TFM_Waiting* note = current()) {
        note->endBusyNote(caller);
        delete note;
    }
}

// Left asynchronous and without a result handler: whether the device took
// the command shows only in whether it comes back.
void TFM_Waiting::sendRebootCommand()
{
    try {
        rebootRequest_ = new VtSNMPRequest2Edits(this);
        rebootRequest_->Request.VarList = VtSNMPVarList(MainUpgradeCommandVars, SVT_SV);
        rebootRequest_->BindFormatted(0, QStringLiteral("%s"), Ed_Reboot);
        Ed_Reboot->setText(QStringLiteral("reboot"));  // the option list maps it to 4, "Reboot"
        rebootRequest_->Save(true, true);
    } catch (const VtException& e) {
        ksr::trace("wait dialog: reboot command not sent: %s", e.what());
    }
}
