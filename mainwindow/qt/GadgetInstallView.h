#pragma once

#include "mainwindow/GadgetInstall.h"

namespace wendra::mainwindow::qt {

// Opens the gadget's installation page in the desktop's web browser.
class QtPageOpener final : public PageOpener {
public:
    bool openPage(const std::string& path) override;
};

}  // namespace wendra::mainwindow::qt
