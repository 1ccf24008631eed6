#pragma once

// The texts that more than one window shows, each written once; a text used in one place stays
// beside its use. The program's texts are UTF-8 literals, turned into QString by Text().

#include <string>

#include <QString>

inline QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

inline QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// The file and printing failures, above the reason.
inline constexpr char kOpenFailed[] = "L'ouverture du document a échoué.";
inline constexpr char kSaveFailed[] = "L'enregistrement du document a échoué.";
inline constexpr char kExportFailed[] = "L'exportation de l'image a échoué.";
inline constexpr char kPrintFailed[] = "L'impression a échoué.";

// Labels of the dialogs' colour rows.
inline constexpr char kColourLabel[] = "Couleur :";
inline constexpr char kTypeLabel[] = "Type :";
