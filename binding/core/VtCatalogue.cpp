#include "VtCatalogue.h"

#include "VtValueFormat.h"

#include <cerrno>
#include <cstdlib>
#include <strings.h>

VtOptionList::VtOptionList(const VtOptionPair* table) {
    for (const VtOptionPair* p = table; p && p->Label; ++p)
        entries_.emplace_back(p->Value, p->Label);
}

int VtOptionList::LabelIndex(const std::string& text) const {
    for (int i = 0; i < Count(); ++i)
        if (strcasecmp(entries_[i].second.c_str(), text.c_str()) == 0) return i;
    return -1;
}

int VtOptionList::ValueIndex(const std::string& text) const {
    if (text == VtNullText || text.empty()) return -1;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    // The whole text must be a 32-bit decimal number; anything else is no value.
    if (errno != 0 || end == text.c_str() || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return -1;
    for (int i = 0; i < Count(); ++i)
        if (entries_[i].first == static_cast<int32_t>(v)) return i;
    return -1;
}

std::string VtOptionList::LabelOf(const std::string& valueText) const {
    int i = ValueIndex(valueText);
    return i < 0 ? valueText : entries_[i].second;
}

std::string VtOptionList::ValueOf(const std::string& labelText) const {
    int i = LabelIndex(labelText);
    return i < 0 ? labelText : std::to_string(entries_[i].first);
}

void VtOptionList::FillItems(VtItemControl& control) const {
    control.clearItems();
    for (const auto& e : entries_) control.addItem(e.second);
}

void VtOptionList::Select(VtItemControl& control, const std::string& text) const {
    int i = LabelIndex(text);
    if (i < 0) i = ValueIndex(text);
    control.setItemIndex(i);
}

VtSNMPVarList::VtSNMPVarList(const VtSNMPVariable* array, uint8_t itemType, int32_t keyCount)
    : PKeyCount(keyCount), ItemType(itemType) {
    for (const VtSNMPVariable* v = array; v && v->Oid; ++v) {
        VtSNMPVarItem item;
        item.Oid = v->Oid;
        item.Name = v->Name ? v->Name : "";
        item.Syntax = v->Syntax;
        item.Access = v->Access;
        item.OptionList = v->OptionList;
        items_.push_back(std::move(item));
    }
}

bool VtSNMPVarList::IsReadable(int i) const {
    int32_t a = Item(i).Access;
    return (a & VT_ACCESS_READONLY) && !(a & VT_ACCESS_INVALID);
}

bool VtSNMPVarList::IsWritable(int i) const {
    int32_t a = Item(i).Access;
    if (a & VT_ACCESS_INVALID) return false;
    return (a & VT_ACCESS_WRITEONLY) || (IsTable() && i < PKeyCount);
}

bool VtSNMPVarList::IsShownColumn(int i) const {
    int32_t a = Item(i).Access;
    if (a & (VT_ACCESS_HIDDEN | VT_ACCESS_INVALID)) return false;
    return (a & (VT_ACCESS_NOTACCESS | VT_ACCESS_READONLY | VT_ACCESS_DERIVED)) != 0;
}

bool VtSNMPVarList::IsHiddenColumn(int i) const {
    int32_t a = Item(i).Access;
    return a == VT_ACCESS_WRITEONLY || (a & (VT_ACCESS_HIDDEN | VT_ACCESS_INVALID));
}

int VtSNMPVarList::ShownCount() const {
    int n = 0;
    for (int i = 0; i < Count(); ++i) n += IsShownColumn(i);
    return n;
}

int VtSNMPVarList::HiddenCount() const {
    int n = 0;
    for (int i = 0; i < Count(); ++i) n += IsHiddenColumn(i);
    return n;
}

std::string VtSNMPVarList::KeyOidText(int k) const {
    // A key is an integer index: its leading decimal number, so that an empty
    // key (no row selected) addresses row 0 rather than no instance at all.
    const VtSNMPVarItem& key = items_[k];
    std::string v = key.OptionList ? key.OptionList->ValueOf(key.Value) : key.Value;
    return std::to_string(static_cast<uint32_t>(VtLeadingInteger(v)));
}

std::string VtSNMPVarList::KeyText() const {
    std::string text;
    for (int k = 0; k < PKeyCount && k < Count(); ++k) {
        if (k) text += '.';
        text += KeyOidText(k);
    }
    return text;
}
