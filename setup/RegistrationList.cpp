#include "setup/RegistrationList.h"

#include "platform/shell/InstalledNames.h"

namespace wendra::setup {

// What stands for each platform component here, by what the programs take from it:
//
// | component    | what the programs take from it                         | Qt library standing for it  |
// |--------------|--------------------------------------------------------|-----------------------------|
// | mscomm32.ocx | the serial communications control                      | libQt6SerialPort.so.6       |
// | comdlg32.ocx | the common dialogs (the font dialog)                   | libQt6Widgets.so.6          |
// | fm20.dll     | Unicode text boxes and labels                          | libQt6Widgets.so.6,         |
// |              |                                                        | libQt6Gui.so.6              |
// | mshflxgd.ocx | the hierarchical flex grid of the event list           | libQt6Widgets.so.6          |
// | shdocvw.dll  | the web browser control (the gadget host's page)       | libQt6WebEngineWidgets.so.6 |
// | msinet.ocx   | the internet transfer control                          | libQt6Network.so.6          |
// | mci32.ocx    | the multimedia control that plays the alarm            | libQt6Multimedia.so.6       |
// | mscomctl.ocx | toolbar, status bar, image list, tab strip, progress   | libQt6Widgets.so.6          |
// | mscomct2.ocx | up-down spinners and date pickers                      | libQt6Widgets.so.6          |
const std::vector<ComponentPair>& registrationList() {
    using Kind = ComponentPair::Kind;
    static const std::vector<ComponentPair> list{
        {Kind::GadgetLibrary, shell::installed::kGadgetLibrary, {}},
        {Kind::Platform, "mscomm32.ocx", {"libQt6SerialPort.so.6"}},
        {Kind::Platform, "comdlg32.ocx", {"libQt6Widgets.so.6"}},
        {Kind::Platform, "fm20.dll", {"libQt6Widgets.so.6", "libQt6Gui.so.6"}},
        {Kind::Platform, "mshflxgd.ocx", {"libQt6Widgets.so.6"}},
        {Kind::Platform, "shdocvw.dll", {"libQt6WebEngineWidgets.so.6"}},
        {Kind::Platform, "msinet.ocx", {"libQt6Network.so.6"}},
        {Kind::Platform, "mci32.ocx", {"libQt6Multimedia.so.6"}},
        {Kind::Platform, "mscomctl.ocx", {"libQt6Widgets.so.6"}},
        {Kind::Platform, "mscomct2.ocx", {"libQt6Widgets.so.6"}},
    };
    return list;
}

}  // namespace wendra::setup
