#include "AddressChoice.h"

namespace io {

QStringList addressChoiceCaptions() {
    return {QString::fromUtf8("domů"), QString::fromUtf8("firemní"), QString::fromUtf8("jiná"),
            QString::fromUtf8("výchozí pro každý záznam")};
}

std::optional<personal_columns::AddressKind> addressKind(AddressChoice choice) {
    switch (choice) {
    case AddressChoice::Home:
        return personal_columns::AddressKind::Home;
    case AddressChoice::Work:
        return personal_columns::AddressKind::Work;
    case AddressChoice::Other:
        return personal_columns::AddressKind::Other;
    case AddressChoice::RecordDefault:
        break;
    }
    return std::nullopt;
}

} // namespace io
