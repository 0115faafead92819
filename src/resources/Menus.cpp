#include <iterator>

#include "resources/StringTable.h"
#include "resources/UiResources.h"

namespace res {

namespace {

using K = MenuEntry;

// Menu 101: the main frame's menu.
constexpr MenuEntry kMainMenu[] = {
    {K::Popup, 0, "&File"},
    {K::Item, 57600, "&New\tCtrl+N"},
    {K::Item, 57601, "&Open...\tCtrl+O"},
    {K::Item, 57603, "&Save\tCtrl+S"},
    {K::Item, 57604, "Save &As..."},
    {K::Item, 32771, "Save As &Text"},
    {K::Separator, 0, nullptr},
    {K::Item, 57607, "&Print Summary..."},
    {K::Item, 57609, "Print Summary Pre&view"},
    {K::Item, 57606, "Print Set&up..."},
    {K::Separator, 0, nullptr},
    {K::Item, 57616, "Recent File"},
    {K::Separator, 0, nullptr},
    {K::Item, 57665, "E&xit"},
    {K::EndPopup, 0, nullptr},

    {K::Popup, 0, "&Setup"},
    {K::Item, 32772, "&Requirements..."},
    {K::Item, 32774, "Line So&urce..."},
    {K::Item, 32775, "&Line Filter..."},
    {K::Item, 32776, "Line Rec&tifier..."},
    {K::Item, 32777, "&Input Capacitor..."},
    {K::Item, 32778, "Pri&mary Section..."},
    {K::Item, 32779, "&Secondary Section..."},
    {K::Item, 32781, "First Stage &Output Filter..."},
    {K::Item, 32782, "Second Stage Out&put Filter..."},
    {K::Item, 32780, "Output C&hoke..."},
    {K::Item, 32783, "Load &Network..."},
    {K::Item, 32784, "&Voltage Feedback Network..."},
    {K::Item, 32785, "Voltage &Error Amplifier..."},
    {K::Item, 32786, "Opto&-Isolator..."},
    {K::Item, 32787, "&Control Section..."},
    {K::Item, 32788, "Current &Feedback Network..."},
    {K::Item, 32789, "Current Limit Net&work..."},
    {K::EndPopup, 0, nullptr},

    {K::Popup, 0, "&Analysis"},
    {K::Item, 32794, "&User Specified..."},
    {K::Item, 32792, "&Problem Check"},
    {K::Item, 32790, "&Start"},
    {K::Item, 32793, "&Notes..."},
    {K::EndPopup, 0, nullptr},

    {K::Popup, 0, "&Graph"},
    {K::Item, 32801, "&Blow Up"},
    {K::Item, 32802, "Re&scale"},
    {K::Item, 32803, "&Restore"},
    {K::Item, 32804, "&Print"},
    {K::Item, 32805, "&Copy"},
    {K::Separator, 0, nullptr},
    {K::Item, 32806, "Save &As Text..."},
    {K::Item, 32807, "Save &For Power Quorra Viewer..."},
    {K::Item, 32808, "Start Power Quorra &Viewer"},
    {K::EndPopup, 0, nullptr},

    {K::Popup, 0, "&View"},
    {K::Item, 32844, "&Circuit..."},
    {K::Item, 59392, "&Toolbar"},
    {K::Item, 59393, "&Status Bar"},
    {K::Item, 32820, "&Messages"},
    {K::EndPopup, 0, nullptr},

    {K::Popup, 0, "&Help"},
    {K::Item, 57667, "&Help Topics"},
    {K::Item, 32843, "Help on &Using Help"},
    {K::Separator, 0, nullptr},
    {K::Item, 57664, "&About Power Quorra Designer..."},
    {K::EndPopup, 0, nullptr},
};

// Menu 104: the right-click menus of the editing dialogs (popup 0), of
// the picture dialogs (popup 1), of the equation editor (popup 3) and of the
// Analysis dialog (popup 4).
constexpr MenuEntry kDialogPopups[] = {
    {K::Popup, 0, ""},
    {K::Item, 32821, "OK"},
    {K::Item, 2, "Cancel"},
    {K::EndPopup, 0, nullptr},
    {K::Popup, 0, ""},
    {K::Item, 1, "OK"},
    {K::Item, 2, "Cancel"},
    {K::Item, 1270, "Default"},
    {K::Item, 1271, "Print"},
    {K::Item, 1272, "Copy"},
    {K::EndPopup, 0, nullptr},
    // Place 2 holds no popup; it keeps the places of those after it.
    {K::Separator, 0, nullptr},
    // The equation editor's.
    {K::Popup, 0, ""},
    {K::Item, 32821, "OK"},
    {K::Item, 2, "Cancel"},
    {K::Item, 1251, "Clear"},
    {K::EndPopup, 0, nullptr},
    // The Analysis dialog's.
    {K::Popup, 0, ""},
    {K::Item, 32840, "Start and Save"},
    {K::Item, 32841, "Start Only"},
    {K::Item, 32842, "Save Only"},
    {K::Item, 2, "Cancel"},
    {K::EndPopup, 0, nullptr},
};

// Accelerator table 101.
constexpr AccelEntry kMainAccelerators[] = {
    {'N', 1, 57600}, {'O', 1, 57601}, {'S', 1, 57603}, {0x70, 2, 57669}, {0x70, 0, 57670},
};

struct Prompt {
    uint32_t id;
    const char* text;
};

// Status-line prompts and tool tips, "prompt\ntip".
constexpr Prompt kPrompts[] = {
    {32771, "Save the design summary as a text file\nSave Summary As Text"},
    {32772, "Set the output voltages, currents, switching frequency and temperature\nRequirements"},
    {32774, "Choose and edit the line source\nLine Source"},
    {32775, "Choose and edit the line filter\nLine Filter"},
    {32776, "Choose and edit the line rectifier\nLine Rectifier"},
    {32777, "Choose and edit the input capacitor\nInput Capacitor"},
    {32778, "Choose and edit the primary section and power transformer\nPrimary Section"},
    {32779, "Choose and edit the secondary sections\nSecondary Section"},
    {32780, "Choose and edit the output chokes\nOutput Choke"},
    {32781, "Choose and edit the first stage output filters\nFirst Stage Output Filter"},
    {32782, "Choose and edit the second stage output filters\nSecond Stage Output Filter"},
    {32783, "Choose and edit the load networks\nLoad Network"},
    {32784, "Edit the voltage feedback network\nVoltage Feedback Network"},
    {32785, "Choose and edit the voltage error amplifier\nVoltage Error Amplifier"},
    {32786, "Choose and edit the opto-isolator\nOpto-Isolator"},
    {32787, "Choose and edit the control section\nControl Section"},
    {32788, "Edit the current feedback network\nCurrent Feedback Network"},
    {32789, "Edit the current limit network\nCurrent Limit Network"},
    {32791, "Stop the circuit analysis\nStop Analysis"},
    {32792, "Check every section of the design for problems\nProblem Check"},
    {32793, "Edit the notes kept with the design\nNotes"},
    {32794, "Edit the user specified analysis settings\nUser Specified Data"},
    {32801, "Enlarge the selected graph to the whole page, or go back\nBlow Up"},
    {32802, "Scale the graphs to their data\nRescale"},
    {32803, "Restore the graphs' own scales\nRestore"},
    {32804, "Print the graphs\nPrint Graphs"},
    {32805, "Copy the graphs to the clipboard\nCopy Graphs"},
    {32806, "Save the graph data as a text file\nSave Graphs As Text"},
    {32807, "Save the graphs in a viewer file\nSave For Viewer"},
    {32808, "Start the graph viewer\nStart Viewer"},
    {32820, "Show the section checks' findings in message boxes\nMessages"},
    {32843, "How to use the help system\nHelp on Using Help"},
    {32844, "Show the circuit of the design\nCircuit"},
    {57600, "Start a new design\nNew Design"},
    {57601, "Open a design file\nOpen Design"},
    {57603, "Save the design\nSave Design"},
    {57604, "Save the design under another name\nSave As"},
    {57606, "Choose the printer and the page\nPrint Setup"},
    {57607, "Print the design summary\nPrint Summary"},
    {57609, "Show the design summary as it will print\nPrint Preview"},
    {57616, "Open this design\nRecent Design"},
    {57617, "Open this design\nRecent Design"},
    {57618, "Open this design\nRecent Design"},
    {57619, "Open this design\nRecent Design"},
    {57664, "Show the program's version and notices\nAbout"},
    {57665, "Quit the program; an unsaved design can be saved first\nExit"},
    {57667, "List the help topics\nHelp Topics"},
    {57669, "Help on a button, menu item or window\nHelp"},
    {57670, "Help on the present task\nHelp"},
    {59392, "Show or hide the toolbar\nToolbar"},
    {59393, "Show or hide the status bar\nStatus Bar"},
};

}  // namespace

const MenuEntry* FindMenu(uint32_t id, size_t& count) {
    switch (id) {
    case 101:
        count = std::size(kMainMenu);
        return kMainMenu;
    case 104:
        count = std::size(kDialogPopups);
        return kDialogPopups;
    default:
        count = 0;
        return nullptr;
    }
}

const AccelEntry* FindAccelerators(uint32_t id, size_t& count) {
    if (id == 101) {
        count = std::size(kMainAccelerators);
        return kMainAccelerators;
    }
    count = 0;
    return nullptr;
}

const char* FindCommandPrompt(uint32_t id) {
    if (const char* s = FindString(id)) return s;
    for (const Prompt& p : kPrompts)
        if (p.id == id) return p.text;
    return nullptr;
}

}  // namespace res
