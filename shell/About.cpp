#include "About.h"

#include "FrontPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

const char kModelName[] = "KSR-4710";

// The application's icon, or a miniature of the front panel when the
// application has none.
QPixmap aboutIcon()
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull())
        return icon.pixmap(32, 32);
    return QPixmap::fromImage(FrontPanel::picture().scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("Help\\About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(350, 98);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 32, 32);
    Image1->setPixmap(aboutIcon());

    LB_Title = new QLabel(QString::fromLatin1(kModelName) + QStringLiteral(" Management Module"), this);
    LB_Title->setObjectName(QStringLiteral("LB_Title"));
    LB_Title->setGeometry(56, 10, 286, 18);

    LB_Release = new QLabel(QStringLiteral("Release Version:"), this);
    LB_Release->setObjectName(QStringLiteral("LB_Release"));
    LB_Release->setGeometry(56, 34, 100, 18);

    LB_Version = new QLabel(QStringLiteral("v1.00"), this);
    LB_Version->setObjectName(QStringLiteral("LB_Version"));
    LB_Version->setGeometry(160, 34, 60, 18);

    LB_Build = new QLabel(QStringLiteral("R15(2010/12/01)"), this);
    LB_Build->setObjectName(QStringLiteral("LB_Build"));
    LB_Build->setGeometry(56, 58, 120, 18);
    LB_Build->hide();

    BT_Ok = new QPushButton(QStringLiteral("OK"), this);
    BT_Ok->setObjectName(QStringLiteral("BT_Ok"));
    BT_Ok->setGeometry(262, 62, 75, 25);
    BT_Ok->setDefault(true);
    BT_Ok->installEventFilter(this);
    connect(BT_Ok, &QPushButton::clicked, this, &TAboutForm::BT_OkClick);
    BT_Ok->setFocus();

    if (owner) {
        const QPoint centre = owner->geometry().center();
        move(centre.x() - width() / 2, centre.y() - height() / 2);
    }
}

void TAboutForm::BT_OkClick()
{
    accept();
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == BT_Ok && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (key->key() == Qt::Key_F3 && (mods & Qt::ShiftModifier) && (mods & Qt::AltModifier)) {
            LB_Build->show();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
