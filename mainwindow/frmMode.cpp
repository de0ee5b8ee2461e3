#include "mainwindow/frmMode.h"

#include <cmath>

#include "platform/ui/Layout.h"
#include "store/DefaultFont.h"

namespace wendra {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string explanation() {
    return std::string("If you have Microsoft Outlook available on your computer") +
           " then you may choose to use Wendra(win)" + " in Microsoft Outlook mode." + kCrLf + kCrLf +
           "In Outlook mode Wendra(win) will obtain data" +
           " from the Outlook calendar events and display them in the Wendra(win) list." +
           " Any new meetings or events keyed into Outlook will" + " automatically appear in the Wendra(win) list." +
           kCrLf + kCrLf + "If you do wish to use Microsoft Outlook mode" +
           " select the 'Connect to Microsft Outlook' option below and Wendra(Win) will check to see if it can" +
           " successfully connect to it.";
}

std::string modeInfo(int index) {
    std::string text = index == 1 ? "Microsoft Outlook Mode: Data will be obtained from Outlook calendar events plus "
                                    "any data synchronised with Wendra(go)."
                                  : "Standalone Mode: Calendar data will be obtained from the Wendra(win) database "
                                    "plus any data synchronised with Wendra(go).";
    return text + kCrLf + kCrLf + "Wendra(go) is the mobile version of Wendra(win).";
}

}  // namespace

std::string frmMode::noConnectionText(const std::string& reason) {
    std::string text(kMsgNoConnection);
    if (!reason.empty()) text += kCrLf + reason;
    return text;
}

frmMode::frmMode(clsSettings& settings, const ui::Services& services, OutlookBinding& outlook)
    : ui::Form("frmMode", "Select mode"), settings_(settings), services_(services), outlook_(outlook) {
    setFont(ui::Font{std::string(kDefaultFontName), static_cast<double>(kDefaultFontSize)});
    setGeometry({0, 0, 6495, 6090});
    lblText.setGeometry({240, 180, 6015, 2340});
    lblText.setWordWrap(true);
    Frame2.setGeometry({240, 2640, 6015, 1095});
    optMode[0].setGeometry({240, 300, 5535, 255});
    optMode[1].setGeometry({240, 660, 5535, 255});
    lblModeInfo.setGeometry({240, 3855, 6015, 960});
    lblModeInfo.setWordWrap(true);
    frameButtons.setGeometry({240, 4860, 6015, 735});
    cmdSave.setGeometry({1560, 180, 1335, 405});
    cmdCancel.setGeometry({3120, 180, 1335, 405});
    StatusBar1.addPanel("status", {}, ui::PanelAutoSize::Spring);
    StatusBar1.setVisible(false);
    cmdSave.setDefault(true);
    cmdCancel.setCancel(true);
    updateButtons(nullptr);

    optMode.onClick = [this](int index) { optModeClick(index); };
    cmdSave.onClick = [this] { save(); };
    cmdCancel.onClick = [this] { unload(); };
    for (ui::CommandButton* b : {&cmdSave, &cmdCancel}) {
        b->onMouseMove = [this, b] { updateButtons(b); };
        // Only the button with the focus draws its picture with the mask colour clear.
        b->onGotFocus = [b] { b->setUseMaskColour(true); };
        b->onLostFocus = [b] { b->setUseMaskColour(false); };
    }
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Frame2, &frameButtons, &lblText, &lblModeInfo, &StatusBar1}) {
        c->onMouseMove = [this] { updateButtons(nullptr); };
    }
}

void frmMode::formLoad() {
    loading_ = true;
    saved_ = false;
    ui::centreForm(*this, services_.placement);
    lblText.setCaption(explanation());
    setHeight(ui::heightBelowControl(frameButtons, services_.metrics.textHeight(font(), "A")));
    showModeStatus("");
    // As the option buttons' values are set: a true value chooses (and runs the
    // choice), a false one only clears.
    optMode[0].setValue(settings_.ModeWendraWin());
    optMode[1].setValue(settings_.ModeOutlook());
    loading_ = false;
}

void frmMode::optModeClick(int index) {
    cmdSave.setEnabled(false);
    lblModeInfo.setCaption(modeInfo(index));
    if (!loading_ && index == 1) {
        showModeStatus("Testing connection with Microsoft Outlook...");
        bool connected = false;
        {
            const ui::BusyPointer busy(*this);
            try {
                connected = outlook_.OpenData();
            } catch (...) {
                connected = false;  // a binding that throws has not connected either
            }
        }
        if (connected) {
            showModeStatus("Connected to Microsoft Outlook - Press Save to continue.");
        } else {
            // The test is over: the status no longer says it runs.
            showModeStatus("");
            services_.messages.show(noConnectionText(outlook_.connectionError()), ui::MessageButtons::OK,
                                    ui::MessageIcon::Critical);
            optMode.select(0);
        }
    }
    cmdSave.setEnabled(true);
}

void frmMode::showModeStatus(const std::string& text) {
    if (!StatusBar1.visible()) {
        StatusBar1.setVisible(true);
        setHeight(height() + static_cast<int>(std::lround(2.5 * services_.metrics.textHeight(font(), "A"))));
    }
    StatusBar1.setText(1, text);
}

void frmMode::updateButtons(const ui::Control* hovered) {
    ui::updateButtonImages(cmdSave, "imgSave", cmdCancel, "imgCancel", hovered);
}

void frmMode::save() {
    settings_.setModeWendraWin(optMode.isSelected(0));
    settings_.setModeOutlook(optMode.isSelected(1));
    saved_ = true;
    unload();
}

}  // namespace wendra
