#pragma once
// Adapters that let an option list fill and select a combo box or a radio
// group: VtOptionList::FillItems(VtComboItems(box)), Select(...).

#include "VtCatalogue.h"
#include "VtRadioGroup.h"

#include <QComboBox>

class VtComboItems : public VtItemControl {
public:
    explicit VtComboItems(QComboBox* box) : box_(box) {}
    void clearItems() override { box_->clear(); }
    void addItem(const std::string& text) override { box_->addItem(QString::fromStdString(text)); }
    void setItemIndex(int index) override { box_->setCurrentIndex(index < box_->count() ? index : -1); }
    int itemIndex() const override { return box_->currentIndex(); }
    std::string itemText(int index) const override { return box_->itemText(index).toStdString(); }

private:
    QComboBox* box_;
};

class VtRadioItems : public VtItemControl {
public:
    explicit VtRadioItems(VtRadioGroup* group) : group_(group) {}
    void clearItems() override { group_->clearItems(); }
    void addItem(const std::string& text) override { group_->addItem(QString::fromStdString(text)); }
    void setItemIndex(int index) override { group_->setItemIndex(index); }
    int itemIndex() const override { return group_->itemIndex(); }
    std::string itemText(int index) const override { return group_->itemText(index).toStdString(); }

private:
    VtRadioGroup* group_;
};
