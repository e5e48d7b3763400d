#include "AddressChoice.h"

namespace io {

QStringList addressChoiceCaptions() {
    return {QString::fromUtf8("domů"), QString::fromUtf8("firemní"), QString::fromUtf8("jiná"),
            QString::fromUtf8("výchozí pro každý záznam")};
}

QString addressColumnPrefix(AddressChoice choice) {
    switch (choice) {
    case AddressChoice::Home:
        return QStringLiteral("domu_");
    case AddressChoice::Work:
        return QStringLiteral("zam_");
    case AddressChoice::Other:
        return QStringLiteral("jine_");
    case AddressChoice::RecordDefault:
        break;
    }
    return {};
}

} // namespace io
