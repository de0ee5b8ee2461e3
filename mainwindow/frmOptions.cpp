#include "mainwindow/frmOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/ui/Layout.h"
#include "platform/ui/NumberText.h"
#include "store/DefaultFont.h"

namespace wendra {

namespace {

constexpr const char* kCountdownChoices[] = {"Always", "When minimized", "Never"};
constexpr int kLastCommPort = 16;

bool numberWithin(std::string_view text, double minimum, double maximum) {
    const auto v = ui::parseDecimal(text);
    return v && *v >= minimum && *v <= maximum;
}

}  // namespace

int decimalKeyFilter(int keyCode) { return ui::filterKey(ui::KeyFilter::Decimal, keyCode); }

bool isValidPriorWarn(std::string_view text) { return numberWithin(text, 0, 999); }
bool isValidPastEventHours(std::string_view text) { return numberWithin(text, 0, 24); }

std::int16_t boxValue(std::string_view text) {
    const auto v = ui::wholeNumber(text);
    if (!v) return 0;
    // Only validated text comes here; the clamp keeps a stray caller from wrapping.
    return static_cast<std::int16_t>(std::clamp<long long>(*v, INT16_MIN, INT16_MAX));
}

frmOptions::frmOptions(clsSettings& settings, const ui::Services& services, SerialPort& port)
    : frmOptions(settings, services, [&settings, &port, &messages = services.messages](bool displayWarn) {
          return wendra::openCommPort(port, settings.CommPort(), displayWarn, messages);
      }) {}

frmOptions::frmOptions(clsSettings& settings, const ui::Services& services, CommPortOpener openCommPort)
    : ui::Form("frmOptions", "Settings"),
      settings_(settings),
      services_(services),
      openCommPort_(std::move(openCommPort)) {
    setFont(ui::Font{std::string(kDefaultFontName), static_cast<double>(kDefaultFontSize)});
    setGeometry({0, 0, 5895, 3870});

    lblDaysInAdvance.setGeometry({240, 285, 2415, 255});
    txtDaysInAdvance.setGeometry({2760, 240, 660, 315});
    udDaysInAdvance().setGeometry({3420, 240, 255, 315});
    lblDays.setGeometry({3780, 285, 1000, 255});
    lblPastEventHours.setGeometry({240, 765, 2415, 255});
    txtPastEventHours.setGeometry({2760, 720, 660, 315});
    udPastEventHours().setGeometry({3420, 720, 255, 315});
    lblHours.setGeometry({3780, 765, 1000, 255});
    lblCountdown.setGeometry({240, 1245, 2415, 255});
    cmbCountdown.setGeometry({2760, 1200, 2055, 315});
    lblSync.setGeometry({240, 1725, 5415, 255});
    lblCommPort.setGeometry({240, 2145, 2415, 255});
    cmbCommPort.setGeometry({2760, 2100, 1335, 315});
    frameButtons.setGeometry({60, 2640, 5655, 735});
    cmdSave.setGeometry({1380, 180, 1335, 405});
    cmdCancel.setGeometry({2940, 180, 1335, 405});
    StatusBar1.addPanel("status", {}, ui::PanelAutoSize::Spring);
    StatusBar1.setVisible(false);

    // Both boxes take a full stop, so a fraction of an hour can be typed.
    for (ui::NumberBox* box : {&txtDaysInAdvance, &txtPastEventHours}) box->setKeyFilter(ui::KeyFilter::Decimal);
    cmdSave.setDefault(true);
    cmdCancel.setCancel(true);

    cmdSave.onClick = [this] { save(); };
    cmdCancel.onClick = [this] { unload(); };
    ui::wireHover({&cmdSave, &cmdCancel}, ui::FocusHover::BesideOthers, {&frameButtons, &StatusBar1});
}

int frmOptions::lineHeight() const { return services_.metrics.textHeight(font(), "A"); }

void frmOptions::formLoad() {
    setHeight(ui::heightBelowControl(frameButtons, lineHeight()));
    ui::centreForm(*this, services_.placement);
    ui::showHover({&cmdSave, &cmdCancel}, nullptr);

    txtDaysInAdvance.setText(std::to_string(settings_.PriorWarning()));
    txtPastEventHours.setText(std::to_string(settings_.PastEventHours()));

    cmbCountdown.clear();
    for (const char* choice : kCountdownChoices) cmbCountdown.addItem(choice);
    cmbCountdown.setListIndex(settings_.ViewCountdown());

    cmbCommPort.clear();
    cmbCommPort.addItem("None");
    for (int n = 0; n <= kLastCommPort; ++n) cmbCommPort.addItem("COM" + std::to_string(n));
    // A port beyond the list (set by hand) leaves the list without a choice.
    cmbCommPort.setListIndex(settings_.CommPort() + 1);
}

bool frmOptions::validateSettings() {
    if (!isValidPriorWarn(txtDaysInAdvance.text())) {
        services_.messages.show(std::string(kMsgPriorWarnRange));
        txtDaysInAdvance.setFocus();
        return false;
    }
    if (!isValidPastEventHours(txtPastEventHours.text())) {
        services_.messages.show(std::string(kMsgPastHoursRange));
        txtPastEventHours.setFocus();
        return false;
    }
    return true;
}

void frmOptions::save() {
    if (!validateSettings()) return;
    settings_.setPriorWarning(boxValue(txtDaysInAdvance.text()));
    settings_.setPastEventHours(boxValue(txtPastEventHours.text()));
    // A list left without a choice keeps its setting: storing position -1 would
    // turn a port set beyond the list into no port at all.
    if (cmbCountdown.listIndex() >= 0) settings_.setViewCountdown(static_cast<std::int16_t>(cmbCountdown.listIndex()));
    if (cmbCommPort.listIndex() >= 0) settings_.setCommPort(static_cast<std::int16_t>(cmbCommPort.listIndex() - 1));

    const int port = settings_.CommPort();
    if (port > -1) showOptionsStatus("Testing COM" + std::to_string(port) + "...");
    commPortOpened_ = openCommPort_ ? openCommPort_(true) : true;
    fitOptionsHeight();
    saved_ = true;
    unload();
}

void frmOptions::showOptionsStatus(const std::string& text) {
    if (!StatusBar1.visible()) {
        StatusBar1.setVisible(true);
        setHeight(height() + static_cast<int>(std::lround(2.5 * lineHeight())));
    }
    StatusBar1.setText(1, text);
}

void frmOptions::fitOptionsHeight() {
    StatusBar1.setVisible(false);
    StatusBar1.setText(1, {});
    setHeight(ui::heightBelowControl(frameButtons, lineHeight()));
}

}  // namespace wendra
