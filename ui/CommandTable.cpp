#include "ui/CommandTable.h"

#include <array>

#include "ui/CMainFrame.h"

namespace {

using F = CMainFrame;
using M = MenuId;

// clang-format off
const Command kCommands[] = {
    {ID_FILE_NEW, M::Fichier, "&Nouveau\tCtrl+N", "Ctrl+N", "new",
        "Crée un nouveau document\nNouveau", false, &F::OnFileNew},
    {ID_FILE_OPEN, M::Fichier, "&Ouvrir...\tCtrl+O", "Ctrl+O", "open",
        "Ouvre un document existant\nOuvrir", false, &F::OnFileOpen},
    {ID_FILE_SAVE, M::Fichier, "&Enregistrer\tCtrl+S", "Ctrl+S", "save",
        "Enregistre le document actif\nEnregistrer", false, &F::OnFileSave},
    {ID_FILE_SAVE_AS, M::Fichier, "En&registrer sous...", nullptr, nullptr,
        "Enregistre le document actif sous un nouveau nom\nEnregistrer sous", false,
        &F::OnFileSaveAs},
    {ID_EXPORT_PNG, M::Fichier, "Export PNG...", nullptr, nullptr, nullptr, true,
        &F::OnExportPng},
    {ID_FILE_PRINT, M::Fichier, "&Imprimer...\tCtrl+P", "Ctrl+P", "print",
        "Imprime le document actif\nImprimer", false, &F::OnFilePrint},
    {ID_FILE_PRINT_PREVIEW, M::Fichier, "Aperçu a&vant impression", nullptr, nullptr,
        "Affiche des pages entières\nAperçu avant impression", false, &F::OnFilePrintPreview},
    {ID_FILE_PRINT_SETUP, M::Fichier, "C&onfiguration de l'impression...", nullptr, nullptr,
        "Change les options d'imprimante et d'impression\nConfiguration de l'impression", true,
        &F::OnFilePrintSetup},
    // Stands for the recent-file list: its entries take its place.
    {ID_FILE_MRU_FILE1, M::Fichier, "Fichier récent", nullptr, nullptr, "Ouvre ce document", true,
        nullptr},
    {ID_APP_EXIT, M::Fichier, "&Quitter", nullptr, nullptr,
        "Ferme l'application ; propose d'enregistrer les documents\nQuitter", false,
        &F::OnAppExit},
    {ID_TRACEUR_INTERVALLES, M::Traceur, "Zone de travail...", nullptr, "area",
        "Définit les intervallles de tracé des fonctions\nIntervalles...", false,
        &F::OnTraceurIntervalles},
    {ID_TRACEUR_FONCTIONS, M::Traceur, "Fonctions...", nullptr, "functions",
        "Définit les fonctions à tracer\nFonctions...", false, &F::OnTraceurFonctions},
    {ID_TRACEUR_AXES, M::Traceur, "Axes...", nullptr, "axes", nullptr, false, &F::OnTraceurAxes},
    {ID_TRACEUR_PARAMETRES, M::Traceur, "Paramètres...", nullptr, "params", nullptr, true,
        &F::OnTraceurParametres},
    {ID_TRACEUR_TRACE, M::Traceur, "Trace !", nullptr, "trace",
        "(Re)Trace les fonctions\nTrace !", false, &F::OnTraceurTrace},
    {ID_VIEW_TOOLBAR, M::Affichage, "&Barre d'outils", nullptr, nullptr,
        "Affiche ou masque la barre d'outils\nBarre d'outils", false, &F::OnViewToolbar},
    {ID_VIEW_STATUS_BAR, M::Affichage, "Barre d'é&tat", nullptr, nullptr,
        "Affiche ou masque la barre d'état\nBarre d'état", true, &F::OnViewStatusBar},
    {ID_VIEW_SCREEN_SIZE, M::Affichage, "Taille d'écran...", nullptr, nullptr, nullptr, true,
        &F::OnViewScreenSize},
    {ID_VIEW_ZOOM_IN, M::Affichage, "Zoom +", nullptr, "zoom-in",
        "Agrandit une zone de l'écran\nZoom +", false, &F::OnViewZoomIn},
    {ID_VIEW_ZOOM_OUT, M::Affichage, "Zoom -", nullptr, "zoom-out",
        "Rétrécit l'écran dans une zone d'écran\nZoom -", false, &F::OnViewZoomOut},
    {ID_VIEW_TRANSLATION, M::Affichage, "Translation", nullptr, "translate",
        "Translate l'écran\nTranslation", false, &F::OnViewTranslation},
    {ID_TOOLS_DERIVATE, M::Outils, "&Dérivée...", nullptr, nullptr,
        "Calcule la dérivée d'une fonction\nDérivée...", false, &F::OnToolsDerivate},
    {ID_APP_ABOUT, M::Aide, "&A propos de Curvana...", nullptr, "about", "\nA propos de", false,
        &F::OnAppAbout},
};
// clang-format on

const int kToolbar[] = {
    ID_FILE_NEW,
    ID_FILE_OPEN,
    ID_FILE_SAVE,
    ID_FILE_PRINT,
    ID_TRACEUR_PARAMETRES,
    0,
    ID_VIEW_TRANSLATION,
    ID_VIEW_ZOOM_IN,
    ID_VIEW_ZOOM_OUT,
    0,
    ID_TRACEUR_INTERVALLES,
    ID_TRACEUR_FONCTIONS,
    ID_TRACEUR_AXES,
    ID_TRACEUR_TRACE,
    0,
    ID_APP_ABOUT,
};

const MenuTitle kMenus[] = {
    {M::Fichier, "&Fichier"},
    {M::Traceur, "&Traceur"},
    {M::Affichage, "&Affichage"},
    {M::Outils, "&Outils"},
    {M::Aide, "&?"},
};

} // namespace

std::span<const Command> Commands()
{
    return kCommands;
}

const Command* FindCommand(int id)
{
    for (const Command& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::span<const int> ToolbarLayout()
{
    return kToolbar;
}

std::span<const MenuTitle> Menus()
{
    return kMenus;
}
