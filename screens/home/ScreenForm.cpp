#include "ScreenForm.h"

#include "Dialogs.h"
#include "VtEdit.h"
#include "VtStatusBar.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace ScreenForm {

VtEdit* newEdit(QWidget* form, const char* name, int minimumWidth)
{
    auto* edit = new VtEdit(form);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumWidth(minimumWidth);
    return edit;
}

QPushButton* newButton(QWidget* form, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, form);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

VtStatusBar* newStatusBar(QWidget* form)
{
    auto* bar = new VtStatusBar(form);
    bar->setObjectName(QStringLiteral("StatusBar"));
    return bar;
}

void layOut(QDialog* form, QGridLayout* fields, std::initializer_list<QPushButton*> buttons, VtStatusBar* bar)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    row->addStretch(1);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 8);
    body->addLayout(fields);
    body->addLayout(row);

    auto* outer = new QVBoxLayout(form);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(body);
    outer->addWidget(bar);
}

void fixDialogFrame(QDialog* form, const QString& caption)
{
    form->setWindowTitle(caption);
    form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint);
    form->setModal(true);
    form->setFixedSize(form->sizeHint());
}

QLabel* addRow(QGridLayout* grid, int row, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return label;
}

void setTabOrder(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void centreOnMainWindow(QWidget* form)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) {
            QRect frame = form->frameGeometry();
            frame.moveCenter(w->frameGeometry().center());
            form->move(frame.topLeft());
            return;
        }
    }
}

bool passChecks(QWidget* form, std::initializer_list<InputCheck> checks, bool clearBox)
{
    for (const InputCheck& check : checks) {
        if (!check.failed)
            continue;
        Dialogs::messageBox(form, QString::fromLatin1(check.message), QString::fromLatin1(check.caption));
        if (check.box) {
            if (clearBox)
                check.box->clear();
            check.box->setFocus(Qt::OtherFocusReason);
        }
        return false;
    }
    return true;
}

}  // namespace ScreenForm
