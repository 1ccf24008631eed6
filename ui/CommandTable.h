#pragma once

// Every command of the main window in one table: its id, menu, item text with its mnemonic, keys,
// toolbar button, status-bar prompt and tooltip, and the frame's handler. The menus, the toolbar
// and the status prompts are all built from it.

#include <span>

class CMainFrame;

enum class MenuId { Fichier, Traceur, Affichage, Outils, Aide };

// Command ids, as the program has always numbered them.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_EXPORT_PNG = 32789,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_MRU_FILE1 = 57616,
    ID_APP_EXIT = 57665,
    ID_TRACEUR_INTERVALLES = 32773,
    ID_TRACEUR_FONCTIONS = 32771,
    ID_TRACEUR_AXES = 32785,
    ID_TRACEUR_PARAMETRES = 32788,
    ID_TRACEUR_TRACE = 32772,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_SCREEN_SIZE = 32791,
    ID_VIEW_ZOOM_IN = 32776,
    ID_VIEW_ZOOM_OUT = 32777,
    ID_VIEW_TRANSLATION = 32778,
    ID_TOOLS_DERIVATE = 32774,
    ID_APP_ABOUT = 57664,
};

struct Command {
    int id;
    MenuId menu;
    // The item text: a tab separates the keys shown in the menu.
    const char* text;
    // The shortcut, in QKeySequence's portable form, or nullptr.
    const char* keys;
    // The toolbar's icon (res/icons), or nullptr for a command without a button.
    const char* icon;
    // The status-bar prompt, a newline, then the tooltip; nullptr when the program has none.
    const char* prompt;
    // A separator follows the item in its menu.
    bool separatorAfter;
    void (CMainFrame::*handler)();
};

// In menu order.
std::span<const Command> Commands();
const Command* FindCommand(int id);

// The toolbar, left to right; 0 is a separator.
std::span<const int> ToolbarLayout();

// The popups of the menu bar, in order, with their titles.
struct MenuTitle {
    MenuId menu;
    const char* title;
};
std::span<const MenuTitle> Menus();
