#include "chip/register_names.h"

#include <cctype>

namespace vrx {

std::string NormalName(std::string_view name) {
    std::string normal;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) == 0xB5) {
            normal += 'U'; // the micro sign in UTF-8
            ++i;
        } else if (c == ' ') {
            normal += '_';
        } else {
            normal += static_cast<char>(std::toupper(c));
        }
    }
    while (!normal.empty() && (normal.back() == '.' || normal.back() == '_')) {
        normal.pop_back();
    }
    return normal;
}

namespace {

bool NamesRegister(const RegisterDef& reg, const std::string& wanted) {
    const std::string full = NormalName(reg.name);
    if (full == wanted) {
        return true;
    }
    // "P_MUL / P_DIV" answers to P_MUL and P_DIV too.
    size_t start = 0;
    while (start <= full.size()) {
        const size_t end = full.find("_/_", start);
        if (full.substr(start, end == std::string::npos ? std::string::npos : end - start) ==
            wanted) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 3;
    }
    for (const auto fields : {reg.writeFields, reg.readFields}) {
        for (const Field& field : fields) {
            if (!field.name.empty() && NormalName(field.name) == wanted) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

const RegisterDef* FindRegister(std::string_view name) {
    const std::string wanted = NormalName(name);
    for (const auto registers : {MotorRegisters(), GlobalRegisters()}) {
        for (const RegisterDef& reg : registers) {
            if (NamesRegister(reg, wanted)) {
                return &reg;
            }
        }
    }
    return nullptr;
}

std::optional<size_t> FindField(const RegisterDef& reg, std::span<const Field> fields,
                                std::string_view name) {
    const std::string wanted = NormalName(name);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (NormalName(FieldName(reg, fields[i])) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

std::string FieldName(const RegisterDef& reg, const Field& field) {
    return std::string(field.name.empty() ? reg.name : field.name);
}

int32_t WriteFieldAsRead(const RegisterDef& reg, size_t writeField, uint32_t data) {
    const Field& field = reg.writeFields[writeField];
    const auto read = FindField(reg, reg.readFields, FieldName(reg, field));
    return read ? HeldValue(field, DecodeField(reg.readFields[*read], data)) : 0;
}

std::vector<std::string> RegisterNames() {
    std::vector<std::string> names;
    for (const auto registers : {MotorRegisters(), GlobalRegisters()}) {
        for (const RegisterDef& reg : registers) {
            names.push_back(NormalName(reg.name));
        }
    }
    return names;
}

} // namespace vrx
