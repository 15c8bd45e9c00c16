#pragma once
// Variable catalogue model: constant descriptors, option lists and the
// working variable list that a request carries. Qt-free.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The device's OID root. The macro lets constant catalogue arrays spell their
// OIDs as one literal: VT_DEVICE_ROOT ".2.1.1.1.1.2.1".
#define VT_DEVICE_ROOT "1.3.6.1.4.1.28687.10.37.40"
inline constexpr const char DeviceRoot[] = VT_DEVICE_ROOT;

// Syntax codes (ASN.1 tags, plus two refined octet-string types).
enum : int32_t {
    VT_SYNTAX_INTEGER = 2,
    VT_SYNTAX_OBJECTID = 6,
    VT_SYNTAX_IPADDRESS = 64,
    VT_SYNTAX_TIMETICKS = 67,
    VT_SYNTAX_MACADDRESS = 73,
    VT_SYNTAX_DISPLAYSTR = 76,
};

// Access bits.
enum : int32_t {
    VT_ACCESS_NOTACCESS = 1,
    VT_ACCESS_READONLY = 2,
    VT_ACCESS_WRITEONLY = 4,
    VT_ACCESS_READWRITE = 6,
    VT_ACCESS_DERIVED = 8,
    VT_ACCESS_HIDDEN = 16,
    VT_ACCESS_INVALID = 32,
};

// Item types of a variable list.
enum : uint8_t {
    SVT_SV = 0,   // scalars: Oid + ".0"
    MVT_SV = 1,   // fixed instances: Oid as stored
    MVT_FMV = 2,  // walked table; bound controls wait for a row selection
    MVT_UMV = 3,  // walked table
};

// Marker texts of a Value.
inline constexpr const char VtNullText[] = "(NULL)";
inline constexpr const char VtNotDoneText[] = "(NOTDONE)";

// One pair of a constant option table; a table ends with Label == nullptr.
struct VtOptionPair {
    int32_t Value;
    const char* Label;
};

// Qt-free view of a combo box or radio group, implemented by the Qt side.
struct VtItemControl {
    virtual ~VtItemControl() = default;
    virtual void clearItems() = 0;
    virtual void addItem(const std::string& text) = 0;
    virtual void setItemIndex(int index) = 0;  // -1 = no selection
    virtual int itemIndex() const = 0;
    virtual std::string itemText(int index) const = 0;
};

// Value <-> label table of an enumerated variable. Labels match without
// regard to case.
class VtOptionList {
public:
    VtOptionList() = default;
    explicit VtOptionList(const VtOptionPair* table);

    int Count() const { return static_cast<int>(entries_.size()); }
    int32_t Value(int i) const { return entries_.at(i).first; }
    const std::string& Label(int i) const { return entries_.at(i).second; }

    int LabelIndex(const std::string& text) const;   // -1 when no label matches
    int ValueIndex(const std::string& text) const;   // -1 for "(NULL)", a non-number or an unknown value
    std::string LabelOf(const std::string& valueText) const;  // unchanged when unknown
    std::string ValueOf(const std::string& labelText) const;  // unchanged when unknown

    void FillItems(VtItemControl& control) const;
    void Select(VtItemControl& control, const std::string& text) const;

private:
    std::vector<std::pair<int32_t, std::string>> entries_;
};

// One constant catalogue descriptor; an array ends with Oid == nullptr.
// Oid " " marks a key inherited from an enclosing table.
struct VtSNMPVariable {
    const char* Oid;
    const char* Name;
    int32_t Syntax;
    int32_t Access;
    const VtOptionList* OptionList;
};

// A descriptor copied into a variable list, with its run-time fields.
struct VtSNMPVarItem {
    std::string Oid;
    std::string Name;
    int32_t Syntax = VT_SYNTAX_INTEGER;
    int32_t Access = VT_ACCESS_READONLY;
    const VtOptionList* OptionList = nullptr;
    std::string Value;
    std::string InstanceOid;
};

// Working copy of one descriptor array.
class VtSNMPVarList {
public:
    VtSNMPVarList() = default;
    VtSNMPVarList(const VtSNMPVariable* array, uint8_t itemType, int32_t keyCount = 0);

    int32_t PKeyCount = 0;
    uint8_t ItemType = SVT_SV;

    int Count() const { return static_cast<int>(items_.size()); }
    VtSNMPVarItem& Item(int i) { return items_.at(i); }
    const VtSNMPVarItem& Item(int i) const { return items_.at(i); }
    VtSNMPVarItem& operator[](int i) { return items_.at(i); }
    const VtSNMPVarItem& operator[](int i) const { return items_.at(i); }
    void Add(const VtSNMPVarItem& item) { items_.push_back(item); }

    bool IsTable() const { return ItemType == MVT_FMV || ItemType == MVT_UMV; }
    bool IsReadable(int i) const;
    bool IsWritable(int i) const;
    bool IsShownColumn(int i) const;
    bool IsHiddenColumn(int i) const;
    int ShownCount() const;
    int HiddenCount() const;

    // The current row's keys joined with "." (each key's value as a number).
    // OID text of key k (its value as a decimal integer), and of all keys
    // joined with ".": what a write on a table list appends to each column.
    std::string KeyOidText(int k) const;
    std::string KeyText() const;

private:
    std::vector<VtSNMPVarItem> items_;
};
