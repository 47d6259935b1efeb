#pragma once

#include <QString>

namespace horavia {

// The web pages and the support address the program links to, kept in one place.
inline const QString ProductSite = QStringLiteral("https://horavia.example.org");
inline const QString ProductPageUrl = ProductSite + QStringLiteral("/products/horavia");
inline const QString SiblingPageUrl = ProductSite + QStringLiteral("/products/rousely");
inline const QString SupportMailAddress = QStringLiteral("support@horavia.example.org");
// A new mail to support with the product's name, in double quotes, as its subject.
inline const QString SupportMailUrl =
    QStringLiteral("mailto:") + SupportMailAddress + QStringLiteral("?subject=%22Horavia%22");

} // namespace horavia
