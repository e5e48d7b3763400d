#pragma once

#include <QString>

// The maker of the program and its addresses, as the product information
// window and the help show them.
namespace maker {

// The main window's caption, its caption while a search or page fill runs,
// and while a search is being stopped.
inline const QString kMainCaption = QStringLiteral("Ordana 2004 Velto");
inline const QString kBusyCaption = QStringLiteral("Ordana 2004 Velto - hledám...");
inline const QString kStoppingCaption = QStringLiteral("Ordana 2004 Velto - stopuji...");

inline const QString kCompany = QStringLiteral("Kestrava s.r.o.");
inline const QString kStreet = QStringLiteral("Za Vzorovou 1472/18");
inline const QString kTown = QStringLiteral("612 00 Brno");
inline const QString kPhone = QStringLiteral("541 210 100");
inline const QString kFax = QStringLiteral("541 210 109");
inline const QString kHotLine = QStringLiteral("541 210 199");
// The maker's own web site, as printed under its name.
inline const QString kWeb = QStringLiteral("www.kestrava.cz");

// The product's web page, the address for orders and comments, and the page of
// questions and answers (used when the local copy under "Dotazy" is missing).
inline const QString kProductUrl = QStringLiteral("https://www.kestrava.cz/ordana2004");
inline const QString kOrdersMail = QStringLiteral("ordana@kestrava.cz");
inline const QString kQuestionsUrl = QStringLiteral("https://www.kestrava.cz/ordana2004/dotazy");

} // namespace maker
