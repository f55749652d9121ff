#include "ctl/register_help.h"

#include "chip/register_map.h"
#include "chip/register_names.h"
#include "chip/value_format.h"
#include "protocol/field_text.h"

#include <vector>

namespace vrx::ctl {

namespace {

std::string FieldRange(const RegisterDef& reg, const Field& field) {
    const std::string name = Identifier(FieldName(reg, field));
    if (IsBitList(field)) {
        return name + "=0b" + std::string(field.width, '0') + "..0b" +
               BitString(uint32_t(field.max), field.width);
    }
    if (reg.displaySignBit < 0) {
        return name + "=0x" + std::string((field.width + 3) / 4, '0') + "..0x" +
               FormatSlotValue(field.max, reg.displaySignBit);
    }
    return name + "=" + std::to_string(field.min) + ".." + std::to_string(field.max);
}

// The register's title, then its fields from the column on, wrapped within the line width.
std::string RegisterLine(const RegisterDef& reg) {
    std::vector<std::string> fields;
    for (const Field& field : reg.writeFields) {
        fields.push_back(FieldRange(reg, field));
    }
    if (reg.writable && reg.writeFields.empty()) {
        fields.push_back(Identifier(reg.name) + "=0");
    }
    std::vector<std::string> readOnly;
    for (const Field& field : reg.readFields) {
        if (!FindField(reg, reg.writeFields, FieldName(reg, field))) {
            readOnly.push_back(Identifier(FieldName(reg, field)));
        }
    }
    if (!readOnly.empty() && (!reg.writable || !reg.writeFields.empty())) {
        fields.push_back(reg.writable ? "reads also" : "read only:");
        fields.insert(fields.end(), readOnly.begin(), readOnly.end());
    }
    constexpr size_t kColumn = 26;
    constexpr size_t kWidth = 100;
    const std::string indent(kColumn, ' ');
    std::string text = "  " + RegisterTitle(reg);
    text += text.size() < kColumn ? std::string(kColumn - text.size(), ' ') : "\n" + indent;
    size_t column = kColumn;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0 && column + 1 + fields[i].size() > kWidth) {
            text += "\n" + indent;
            column = kColumn;
        } else if (i > 0) {
            text += ' ';
            ++column;
        }
        text += fields[i];
        column += fields[i].size();
    }
    return text + "\n";
}

} // namespace

std::string RegisterHelp() {
    std::string text = "Registers by name, with their fields as set takes them (get and set also "
                       "find a register by\nany of its fields):\n";
    text += " motor registers (--motor 1..3, default 1)\n";
    for (const RegisterDef& reg : MotorRegisters()) {
        text += RegisterLine(reg);
    }
    text += " global registers\n";
    for (const RegisterDef& reg : GlobalRegisters()) {
        text += RegisterLine(reg);
    }
    return text;
}

} // namespace vrx::ctl
