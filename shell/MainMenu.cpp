#include "MainMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <map>

const MainMenuItem MainMenuItems[] = {
    {"Home", nullptr, "Information", "TFM_Information"},
    {"Home", nullptr, "Wireless", "TFM_Wirless"},
    {"Home", nullptr, "LAN", "TFM_LanCfg"},
    {"Advanced", nullptr, "Performance", "TFM_Performace"},
    {"Advanced", "Filter", "Wireless MAC ACL", "TFM_FilterMACACL"},
    {"Advanced", "Filter", "WLAN Partition", "TFM_WLANPart"},
    {"Advanced", nullptr, "Multi-SSID", "TFM_MultiSSIDNewForm"},
    {"Advanced", nullptr, "DHCP Server", "TFM_DHCP"},
    {"Advanced", nullptr, "Intrusion", "TFM_RogueAP"},
    {"Advanced", nullptr, "Schedule", "TFM_Scheduling"},
    {"Advanced", nullptr, "QoS", "TFM_QosSetting"},
    {"Advanced", nullptr, "VLAN", "TFM_VlanSetting"},
    {"Advanced", nullptr, "AP Array", "TFM_APArray"},
    {"Advanced", nullptr, "ARP Spoofing Prevention", "TFM_ARPSpoofing"},
    {"Tools", nullptr, "Administration", "TFM_Admin2"},
    {"Tools", nullptr, "System Settings", "TFM_Sytem"},
    {"Tools", nullptr, "Firmware and SSL", "TFM_Firmware"},
    {"Tools", nullptr, "Time and Date", "TFM_Time"},
    {"Tools", nullptr, "Configuration File", "TFM_CfgFile"},
    {"Configuration", nullptr, "Save and Activate", MainCmdSaveAndActivate},
    {"Configuration", nullptr, "Discard Changes", MainCmdDiscardChanges},
    {"Status", nullptr, "Device Information", "TFM_DevInfo"},
    {"Status", nullptr, "Client Information", "TClientInformation"},
    {"Status", nullptr, "WDS Information", "TFM_WDSInfo"},
    {"Status", "Stats", "Ethernet", "TFM_Static"},
    {"Status", "Stats", "WLAN", "TFM_StatWLAN"},
    {"Status", "Log", "View Log", "TLogForm"},
    {"Status", "Log", "Log Settings", "TLogSetForm"},
    {"Help", nullptr, "About", MainCmdAbout},
    {nullptr, nullptr, nullptr, nullptr},
};

MainMenu::MainMenu(QMenuBar* bar)
{
    std::map<QString, QMenu*> menus;  // by "menu" or "menu/submenu"
    for (const MainMenuItem* item = MainMenuItems; item->menu; ++item) {
        const QString top = QString::fromLatin1(item->menu);
        QMenu*& menu = menus[top];
        if (!menu) {
            menu = bar->addMenu(top);
            menu->setObjectName(QStringLiteral("MN_") + top);
        }
        QMenu* target = menu;
        if (item->submenu) {
            const QString sub = QString::fromLatin1(item->submenu);
            QMenu*& subMenu = menus[top + QLatin1Char('/') + sub];
            if (!subMenu) {
                subMenu = menu->addMenu(sub);
                subMenu->setObjectName(QStringLiteral("MN_") + sub);
            }
            target = subMenu;
        }
        QAction* action = target->addAction(QString::fromLatin1(item->caption));
        const QString command = QString::fromLatin1(item->command);
        action->setObjectName(QStringLiteral("MI_") + command);
        action->setEnabled(false);
        entries_.push_back({command, action, {}});
    }
    // "AP Array" is drawn as a radio item that is never checked.
    if (QAction* apArray = action(QStringLiteral("TFM_APArray"))) {
        auto* group = new QActionGroup(apArray->parent());
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        apArray->setCheckable(true);
        apArray->setActionGroup(group);
        QObject::connect(apArray, &QAction::toggled, apArray, [apArray](bool on) {
            if (on)
                apArray->setChecked(false);
        });
    }
}

QAction* MainMenu::action(const QString& command) const
{
    for (const Entry& entry : entries_)
        if (entry.command == command)
            return entry.action;
    return nullptr;
}

void MainMenu::setCommand(const QString& command, std::function<void()> handler)
{
    for (Entry& entry : entries_) {
        if (entry.command != command)
            continue;
        QObject::disconnect(entry.handler);
        entry.handler = QObject::connect(entry.action, &QAction::triggered, entry.action,
                                         [handler = std::move(handler)] { handler(); });
        entry.action->setEnabled(true);
        return;
    }
}
