#include "VtRadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

VtRadioGroup::VtRadioGroup(QWidget* parent) : VtRadioGroup(QString(), parent) {}

VtRadioGroup::VtRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)), layout_(new QVBoxLayout(this))
{
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

void VtRadioGroup::clearItems()
{
    const bool hadSelection = itemIndex() >= 0;
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    items_.clear();
    if (hadSelection)
        emit itemIndexChanged(-1);
}

void VtRadioGroup::addItem(const QString& text)
{
    auto* b = new QRadioButton(text, this);
    b->setObjectName(QStringLiteral("%1_item%2").arg(objectName()).arg(items_.size()));
    group_->addButton(b, static_cast<int>(items_.size()));
    layout_->addWidget(b);
    items_ << text;
}

void VtRadioGroup::setItems(const QStringList& texts)
{
    clearItems();
    for (const QString& t : texts)
        addItem(t);
}

QString VtRadioGroup::itemText(int index) const
{
    return index >= 0 && index < items_.size() ? items_[index] : QString();
}

int VtRadioGroup::itemIndex() const
{
    return group_->checkedId();  // -1 when nothing is checked
}

QRadioButton* VtRadioGroup::button(int index) const
{
    return qobject_cast<QRadioButton*>(group_->button(index));
}

void VtRadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index >= 0 && index < items_.size()) {
        group_->button(index)->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its checked button; lift that for
    // the moment it takes.
    if (QAbstractButton* b = group_->checkedButton()) {
        group_->setExclusive(false);
        b->setChecked(false);
        group_->setExclusive(true);
        emit itemIndexChanged(-1);
    }
}
