#pragma once
// The main window's menu bar: every item in its place and caption. An item
// stays disabled until the main window gives it a command, so items whose
// screens are not part of the build are present but cannot be chosen.

#include <QMetaObject>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenuBar;

struct MainMenuItem {
    const char* menu;     // top-level caption
    const char* submenu;  // caption of the sub-menu, or nullptr
    const char* caption;
    const char* command;  // the screen class it opens, or the command's name
};

// In menu order; ends with a row whose menu is nullptr.
extern const MainMenuItem MainMenuItems[];

// Command names of the items that open no screen.
inline constexpr char MainCmdSaveAndActivate[] = "SaveAndActivate";
inline constexpr char MainCmdDiscardChanges[] = "DiscardChanges";
inline constexpr char MainCmdAbout[] = "TAboutForm";

class MainMenu {
public:
    // Builds the whole menu on the bar, every item disabled.
    explicit MainMenu(QMenuBar* bar);

    // The item of a command (screen class or command name), or null.
    QAction* action(const QString& command) const;

    // Runs `handler` when the item is chosen and enables the item.
    void setCommand(const QString& command, std::function<void()> handler);

private:
    struct Entry {
        QString command;
        QAction* action;
        QMetaObject::Connection handler;
    };
    std::vector<Entry> entries_;
};
