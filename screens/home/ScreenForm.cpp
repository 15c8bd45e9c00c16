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
#include <QPointer>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

namespace {

// Refuses a user's edit that makes the text longer than the limit and
// longer than it was. Text the program sets is always accepted: the box
// reports it as unmodified (setText resets the modified flag before the
// text is validated).
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* box, int maxLength)
        : QValidator(box), box_(box), max_(maxLength), length_(static_cast<int>(box->text().size()))
    {
    }

    State validate(QString& input, int&) const override
    {
        const int length = static_cast<int>(input.size());
        const bool typed = box_ && box_->isModified();
        if (typed && length > max_ && length > length_)
            return Invalid;  // the box undoes the edit
        length_ = length;
        return Acceptable;
    }

private:
    QPointer<QLineEdit> box_;
    int max_;
    mutable int length_;  // length of the text last accepted
};

}  // namespace

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

void setMaxLength(QLineEdit* box, int maxLength)
{
    box->setMaxLength(32767);  // Qt's "no limit": the validator does the limiting
    delete box->validator();
    box->setValidator(new TypingLimit(box, maxLength));
}

void layOut(QDialog* form, QGridLayout* fields, std::initializer_list<QPushButton*> buttons, VtStatusBar* bar)
{
    fields->setHorizontalSpacing(12);
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
